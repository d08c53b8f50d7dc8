// SPDX-License-Identifier: GPL-3.0-or-later
// The editing rules without a window, and undo and redo over random command sequences.
#include "edit/Editor.h"
#include "base/StrUtil.h"
#include "core/TestTree.h"
#include "model/Document.h"
#include "model/ScheduleFormat.h"

#include <gtest/gtest.h>

#include <random>

using namespace quillo;
using namespace quillo::test;

namespace {
const TDate kToday = D(2024, 5, 3);

struct TEdit : ::testing::Test {
    TCalendar Calendar;
    TChart Chart{Calendar};
    TEvalContext Ctx{kToday, &Calendar, &Chart};
    TDocument Doc;
    TScheduleEditor Editor{Doc, Ctx};
    TEdit() { Chart.SetChartDate(kToday - 7); }

    void Load(const std::string& lines) {
        Doc.New("test");
        ReadItemLines(Doc.Nodes(), Doc.Root(), Tabs(lines), nullptr);
        FinishScheduleLoad(Doc.Nodes(), Ctx);
        Doc.History.Clear();
    }
    TTreeNode* Find(const std::string& name) const {
        for (TTreeNode* n = Doc.Root(); n; n = n->GetNext())
            if (n->Text() == name) return n;
        return nullptr;
    }
    // Parent and row of every node, as text: "a<root b<a".
    std::string Shape() const {
        std::string s;
        for (TTreeNode* n = Doc.Root()->GetNext(); n; n = n->GetNext())
            s += (s.empty() ? "" : " ") + n->Text() + "<" + (n->Parent()->Parent() ? n->Parent()->Text() : "root");
        return s;
    }
    std::string Lines() const {
        std::string s;
        WriteItemLines(Doc.Root(), s);
        return s;
    }
    // What the tree list shows of every row: name, picture, state, dates, day cells, column texts.
    static std::string Shown(const TDocument& doc) {
        std::string s;
        for (const TTreeNode* n = doc.Root(); n; n = n->GetNext()) {
            s += n->Text() + " " + std::to_string(n->ImageIndex());
            if (const TSchItem* i = n->Data()) {
                s += " " + std::to_string(i->State) + " " + std::to_string(i->BeginDate) + "-" +
                     std::to_string(i->EndDate) + (i->Checked ? " x " : " o ");
                for (int c = 0; c < kChartDays; ++c)
                    s += char('a' + 1 + i->GetDayCell(c));
            }
            for (int t = 0; t < 3 && t < n->SubItems()->Count(); ++t)
                s += "|" + n->SubItems()->Text(t);
            s += "\n";
        }
        return s;
    }
    // The same schedule read afresh from its lines: what every edit must leave on screen.
    std::string ShownWhenRead() const {
        TDocument fresh;
        fresh.New("test");
        ReadItemLines(fresh.Nodes(), fresh.Root(), Lines(), nullptr);
        FinishScheduleLoad(fresh.Nodes(), Ctx);
        return Shown(fresh);
    }
};

struct TNoStep : TEditStep {
    TTreeNode* Undo(TEditTarget&) override { return nullptr; }
    TTreeNode* Redo(TEditTarget&) override { return nullptr; }
};

const char* const kPlan = "{\nF|f||+\n{\nI|a|0|2024|5|5|2024|5|5|0|\nI|b|0|-|-|-|-|-|-|0|\n}\nF|g||-\n{\nI|c|0|-|-|-|"
                          "2024|5|9|0|\n}\nI|d|0|-|-|-|-|-|-|0|\n}";
} // namespace

TEST_F(TEdit, NewItemsFollowThePlacementRule) {
    Load(kPlan);
    Editor.NewFolder(nullptr, "n1");
    Editor.NewFolder(Doc.Root(), "n2");
    Editor.NewFolder(Find("a"), "n3");
    Editor.NewFolder(Find("g"), "n4");
    EXPECT_EQ(Shape(), "n1<root f<root a<f n3<f b<f g<root c<g n4<g d<root n2<root");
    EXPECT_FALSE(Find("g")->Expanded()); // a folder does not open for a new folder
    TTreeNode* t = Editor.AddToDo(Find("g"), "t", D(2024, 5, 8));
    EXPECT_TRUE(Find("g")->Expanded()); // ...but does for a new to-do
    EXPECT_EQ(t->Data()->BeginDate, D(2024, 5, 8));
    EXPECT_EQ(t->Data()->EndDate, D(2024, 5, 8));
    EXPECT_EQ(t->Parent(), Find("g"));
    EXPECT_EQ(t->Index(), 2);
    const std::string withNew = Lines();
    Editor.DropNew(t); // a cancelled dialog: exactly as before, and no step
    EXPECT_FALSE(Find("g")->Expanded());
    EXPECT_EQ(Shown(Doc), ShownWhenRead()); // the closed folder shows its dates again, not "↓"
    EXPECT_EQ(Doc.History.Count(), 4u);
    Editor.KeepNew(Editor.AddToDo(Find("g"), "t", D(2024, 5, 8)));
    EXPECT_EQ(Lines(), withNew);
    Editor.Undo();
    EXPECT_FALSE(Find("g")->Expanded());
    EXPECT_FALSE(Find("t"));
}

TEST_F(TEdit, RenamesReplaceTabsAndCutSafely) {
    Load(kPlan);
    EXPECT_FALSE(Editor.Rename(Find("f"), "x\ty"));
    EXPECT_TRUE(Find("x y"));
    TTreeNode* a = Find("a");
    EXPECT_TRUE(Editor.Rename(a, std::string(300, 's')));
    EXPECT_EQ(a->Text().size(), 256u);
    EXPECT_FALSE(Editor.Rename(a, std::string(256, 't'))); // fits exactly
    const size_t steps = Doc.History.Count();
    Editor.Rename(a, a->Text()); // nothing changes: nothing to undo
    Editor.SetDone(a, a->Data()->Checked);
    EXPECT_EQ(Doc.History.Count(), steps);
    std::string dbcs;
    for (int i = 0; i < 150; ++i)
        dbcs += "\x95\x5C"; // 表
    EXPECT_TRUE(Editor.Rename(a, dbcs));
    EXPECT_EQ(a->Text().size(), 256u);
    EXPECT_TRUE(Editor.Rename(a, "s" + dbcs));
    EXPECT_EQ(a->Text(), "s" + dbcs.substr(0, 254)); // 255 bytes: no half character
    EXPECT_EQ(a->Data()->Name, a->Text());
}

TEST_F(TEdit, ShiftsKeepTheBeginBeforeTheEndAndFoldersMoveEverythingBelow) {
    Load(kPlan);
    TTreeNode* a = Find("a");
    Editor.ShiftDates(a, 0, -1);
    EXPECT_EQ(a->Data()->BeginDate, D(2024, 5, 4));
    EXPECT_EQ(a->Data()->EndDate, D(2024, 5, 4));
    Editor.ShiftDates(a, 1, 0);
    EXPECT_EQ(a->Data()->BeginDate, D(2024, 5, 5));
    EXPECT_EQ(a->Data()->EndDate, D(2024, 5, 5));
    Editor.ShiftDates(Doc.Root()->GetFirstChild(), 2, 2); // folder f: a moves, b has no dates
    EXPECT_EQ(a->Data()->BeginDate, D(2024, 5, 7));
    EXPECT_EQ(Find("b")->Data()->BeginDate, 0);
    EXPECT_EQ(Find("f")->Data()->EndDate, 0); // b without an end keeps the folder's end open
    Editor.Undo();
    Editor.Undo();
    Editor.Undo(); // a clamped shift comes back exactly
    EXPECT_EQ(a->Data()->BeginDate, D(2024, 5, 5));
    EXPECT_EQ(a->Data()->EndDate, D(2024, 5, 5));
}

// No command makes a date the file cannot carry back: a shift past either end changes nothing
// (and records nothing), a new to-do and the chart's days are brought into the range.
TEST_F(TEdit, DatesStayWhereTheFileCanCarryThem) {
    Load("{\nF|f||+\n{\nI|late|0|9999|12|30|9999|12|31|0|\nI|early|0|1899|12|31|1900|1|1|0|\n}\n}");
    const std::string before = Lines();
    Editor.ShiftDates(Find("late"), 1, 1);
    Editor.ShiftDates(Find("late"), 0, 1);
    Editor.ShiftDates(Find("early"), -1, -1);
    Editor.ShiftDates(Find("f"), 1, 1); // early could move, late could not: the folder stays whole
    EXPECT_EQ(Lines(), before);
    EXPECT_EQ(Doc.History.Count(), 0u);
    Editor.ShiftDates(Find("late"), 1, 0); // the begin may still reach the last day
    EXPECT_EQ(Find("late")->Data()->BeginDate, D(9999, 12, 31));
    EXPECT_EQ(Doc.History.Count(), 1u);

    TTreeNode* t = Editor.AddToDo(nullptr, "t", D(9999, 12, 31) + 40);
    EXPECT_EQ(t->Data()->BeginDate, D(9999, 12, 31));
    Editor.KeepNew(t);
    Chart.SetChartDate(D(9999, 12, 31));
    EXPECT_EQ(Chart.ChartDate() + kChartDays - 1, D(9999, 12, 31));
    Chart.SetChartDate(-500);
    EXPECT_EQ(Chart.ChartDate(), D(1899, 12, 31));

    // What the commands left is read back whole.
    TTestSchedule back(kToday);
    EXPECT_NO_THROW(ReadItemLines(back.Nodes, CreateScheduleRoot(back.Nodes, "back"), Lines(), nullptr));
    EXPECT_EQ(back.Nodes.Count(), Doc.Nodes().Count());
}

TEST_F(TEdit, DropsMovesAndToDoToFolder) {
    Load(kPlan);
    EXPECT_TRUE(Editor.Drop(Find("d"), Find("b"))); // before a to-do
    EXPECT_EQ(Shape(), "f<root a<f d<f b<f g<root c<g");
    EXPECT_TRUE(Editor.Drop(Find("a"), Find("g"))); // first child of a folder, which stays closed
    EXPECT_EQ(Shape(), "f<root d<f b<f g<root a<g c<g");
    EXPECT_FALSE(Find("g")->Expanded());
    EXPECT_FALSE(Editor.Drop(Find("f"), Find("d"))); // into its own subtree: nothing moves
    EXPECT_TRUE(Editor.Drop(Find("c"), Doc.Root()));
    EXPECT_EQ(Shape(), "c<root f<root d<f b<f g<root a<g");
    EXPECT_FALSE(Editor.MoveUp(Find("c")));
    EXPECT_TRUE(Editor.MoveDown(Find("c")));
    EXPECT_EQ(Shape(), "f<root d<f b<f c<root g<root a<g");
    TTreeNode* b = Find("b");
    Editor.ChangeItem(b, [](TSchItem& i) {
        i.Memo = "memo";
        i.Link = "http://x/";
        i.BeginDate = D(2024, 5, 1); // the new folder takes its dates
        i.EndDate = D(2024, 5, 2);
    });
    TTreeNode* folder = Editor.ToDoToFolder(b);
    EXPECT_EQ(Shape(), "f<root d<f b<f b<b c<root g<root a<g");
    EXPECT_EQ(folder->Data()->BeginDate, D(2024, 5, 1));
    EXPECT_EQ(Shown(Doc), ShownWhenRead());
    EXPECT_TRUE(folder->Data()->IsFolder());
    EXPECT_EQ(folder->Data()->Memo, "memo");
    EXPECT_EQ(folder->Data()->Link, "http://x/");
    Editor.Undo();
    EXPECT_EQ(Shape(), "f<root d<f b<f c<root g<root a<g");
}

// Dropped on a to-do, a node lands directly before it, dragged up or down among its siblings or
// from elsewhere; one undo puts it back.
TEST_F(TEdit, ADropLandsDirectlyBeforeTheToDo) {
    const std::vector<std::string> names{"p", "q", "r", "s", "t", "u"};
    for (const std::string& source : names)
        for (const std::string target : {"p", "r", "s", "u"}) {
            if (source == target) continue;
            Load("{\nI|p|0|-|-|-|-|-|-|0|\nF|q||-\nI|r|0|-|-|-|-|-|-|0|\nI|s|0|-|-|-|-|-|-|0|\nF|g||+\n{\n"
                 "I|t|0|-|-|-|-|-|-|0|\nI|u|0|-|-|-|-|-|-|0|\n}\n}");
            const std::string before = Lines();
            const bool moved = Editor.Drop(Find(source), Find(target));
            EXPECT_EQ(Find(source)->GetNextSibling(), Find(target)) << source << " onto " << target << ": " << Shape();
            EXPECT_EQ(moved, Lines() != before);
            Editor.Undo();
            EXPECT_EQ(Lines(), before);
        }
}

// Against a model of the states the steps lead through: the history is at its saved point
// exactly when the state is the one last saved, whatever mix of steps, undo, redo, saving and
// clearing led there.
TEST_F(TEdit, TheSavedPointFollowsTheStateNotTheStepCount) {
    TEditTarget target{Doc.Nodes(), Ctx};
    for (unsigned seed = 1; seed <= 50; ++seed) {
        std::mt19937 rng(seed);
        THistory h;
        std::vector<int> states{0}; // states[i]: the state after i steps
        size_t at = 0;
        int next = 1, saved = 0;
        auto step = [&] {
            h.Push(std::make_unique<TNoStep>());
            states.resize(at + 1);
            states.push_back(next++);
            ++at;
        };
        // Saved, undone, and a new step taken instead: the saved state is out of reach.
        step();
        h.MarkSaved();
        saved = states[at];
        h.Undo(target), --at;
        step();
        ASSERT_FALSE(h.AtSaved());
        for (int op = 0; op < 300; ++op) {
            switch (rng() % 6) {
            case 0:
            case 1:
                step();
                break;
            case 2:
                h.Undo(target);
                at -= at > 0;
                break;
            case 3:
                h.Redo(target);
                at += at + 1 < states.size();
                break;
            case 4:
                h.MarkSaved();
                saved = states[at];
                break;
            case 5:
                h.Clear(); // a schedule opened or made anew is as saved
                states = {next++};
                at = 0;
                saved = states[0];
                break;
            }
            ASSERT_EQ(h.AtSaved(), states[at] == saved) << "seed " << seed << " op " << op;
            ASSERT_EQ(h.CanUndo(), at > 0);
            ASSERT_EQ(h.CanRedo(), at + 1 < states.size());
        }
    }
}

// The modified mark comes from the history's saved point and from the few changes no step
// records; every change of it is told, and a fresh schedule starts unmodified.
TEST_F(TEdit, TheModifiedMarkFollowsTheHistoryAndTheChangesOutsideIt) {
    Load(kPlan);
    int told = 0;
    Doc.OnChanged = [&] { ++told; };
    EXPECT_FALSE(Doc.Modified());
    Editor.SetDone(Find("a"), true);
    EXPECT_TRUE(Doc.Modified());
    Editor.Undo();
    EXPECT_FALSE(Doc.Modified());
    Editor.Redo();
    Doc.MarkSaved(); // saved with the check
    EXPECT_FALSE(Doc.Modified());
    Editor.Undo();
    EXPECT_TRUE(Doc.Modified());
    Editor.ShiftDates(Find("a"), 1, 1); // a new step where the saved state was undone: it is gone
    EXPECT_TRUE(Doc.Modified());
    Editor.Undo();
    EXPECT_TRUE(Doc.Modified());
    EXPECT_EQ(told, 6);

    // Confirmed unchanged, or a drop that moves nothing: modified without a step to undo.
    for (int kind = 0; kind < 3; ++kind) {
        Load(kPlan);
        if (kind == 0) Editor.Rename(Find("a"), "a");
        if (kind == 1) Editor.SetHolidayMode(Find("a"), 0);
        if (kind == 2) {
            EXPECT_FALSE(Editor.Drop(Find("f"), Find("a"))); // into its own subtree
        }
        EXPECT_TRUE(Doc.Modified()) << kind;
        EXPECT_FALSE(Editor.CanUndo()) << kind;
    }
    Editor.Rename(Find("b"), "B");
    Editor.Undo(); // back at the file's state, but the drop before still counts
    EXPECT_TRUE(Doc.Modified());
    Doc.New("again"); // a schedule made or read anew has nothing to undo and no change
    EXPECT_FALSE(Doc.Modified());
    EXPECT_FALSE(Editor.CanUndo());
    EXPECT_EQ(Editor.Undo(), nullptr);
    Doc.ChangedOutsideHistory();
    Doc.Close();
    EXPECT_FALSE(Doc.Modified());
}

// From random schedules, random sequences of every command: undoing all gives back the start's
// lines, redoing all the end's, and half and back again the same.
TEST_F(TEdit, UndoAndRedoRetraceRandomCommandSequences) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
        std::mt19937 rng(seed);
        Load(kPlan);
        for (int i = 0; i < 12; ++i)
            Editor.NewFolder(nullptr, "r" + std::to_string(i));
        Doc.History.Clear();
        auto any = [&]() -> TTreeNode* {
            std::vector<TTreeNode*> all;
            for (TTreeNode* n = Doc.Root(); n; n = n->GetNext())
                all.push_back(n);
            return all[rng() % all.size()];
        };
        const std::string start = Lines();
        std::vector<std::string> after;
        for (int step = 0; step < 200; ++step) {
            TTreeNode* n = any();
            const bool item = n->Parent() != nullptr;
            const size_t before = Doc.History.Count();
            switch (rng() % 11) {
            case 0:
                Editor.NewFolder(n, "nf" + std::to_string(step));
                break;
            case 1:
                Editor.KeepNew(Editor.AddToDo(n, "nt" + std::to_string(step), kToday + int(rng() % 9) - 4));
                break;
            case 2:
                if (item) Editor.Rename(n, "rn" + std::to_string(step));
                break;
            case 3:
                if (item) Editor.Delete(n);
                break;
            case 4:
                Editor.MoveUp(n);
                break;
            case 5:
                Editor.MoveDown(n);
                break;
            case 6:
                if (item) Editor.ShiftDates(n, int(rng() % 3) - 1, int(rng() % 3) - 1);
                break;
            case 7:
                Editor.SetDone(n, rng() % 2);
                break;
            case 8:
                Editor.ToDoToFolder(n);
                break;
            case 9:
                Editor.Drop(n, any());
                break;
            case 10:
                Editor.SetHolidayMode(n, int(rng() % 3));
                break;
            }
            if (Doc.History.Count() != before) after.push_back(Lines());
            ASSERT_EQ(Shown(Doc), ShownWhenRead()) << "seed " << seed << " step " << step;
        }
        const std::string end = Lines();
        const size_t steps = after.size();
        ASSERT_EQ(Doc.History.Count(), steps);
        for (size_t i = steps; i-- > 0;) {
            ASSERT_EQ(Lines(), after[i]) << "seed " << seed << " undo of step " << i;
            Editor.Undo();
            ASSERT_EQ(Shown(Doc), ShownWhenRead()) << "seed " << seed << " undo of step " << i;
        }
        ASSERT_EQ(Lines(), start) << "seed " << seed;
        while (Editor.CanRedo()) {
            Editor.Redo();
            ASSERT_EQ(Shown(Doc), ShownWhenRead()) << "seed " << seed << " redo";
        }
        ASSERT_EQ(Lines(), end) << "seed " << seed;
        for (size_t i = 0; i < steps / 2; ++i)
            Editor.Undo();
        ASSERT_EQ(Lines(), steps / 2 < steps ? after[steps - steps / 2 - 1] : start) << "seed " << seed;
        while (Editor.CanRedo())
            Editor.Redo();
        ASSERT_EQ(Lines(), end) << "seed " << seed;
    }
}
