// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/StateEval.h"
#include "core/TestTree.h"
#include "model/NodesIF.h"
#include "model/SchItem.h"
#include "model/ScheduleFormat.h"

#include <gtest/gtest.h>

#include <random>

using namespace quillo;
using namespace quillo::test;

namespace {
const TDate kToday = D(2024, 5, 3); // Friday

std::string Cells(const TSchItem* item, int from, int count) {
    std::string s;
    for (int i = from; i < from + count; ++i)
        s += std::to_string(item->GetDayCell(i)) + " ";
    return s;
}
} // namespace

TEST(StateEval, ToDoWithoutDates) {
    TTestSchedule s(kToday);
    s.Calendar.HolidayLv = 2;
    s.Load("{\nI|plain|0|-|-|-|-|-|-|0|\n}");
    TTreeNode* n = s.Find("plain");
    EXPECT_EQ(n->Data()->State, ssInProgress);
    EXPECT_EQ(n->SubItems()->Text(0), "-");
    EXPECT_EQ(n->SubItems()->Text(1), "-");
    EXPECT_EQ(n->SubItems()->Text(2), "-");
    EXPECT_EQ(n->ImageIndex(), niToDoInProgress);
    EXPECT_EQ(n->SelectedIndex(), niToDoInProgress);
    for (int i = 0; i < 60; ++i)
        ASSERT_EQ(n->Data()->GetDayCell(i), ssInProgress);
}

TEST(StateEval, TheCheckDecidesBeforeMissingDates) {
    TTestSchedule s(kToday);
    s.Load("{\nF|f||+\n{\nI|noEnd|1|2024|5|9|-|-|-|0|\nI|noDates|1|-|-|-|-|-|-|0|\n}\n}");
    for (const char* name : {"noEnd", "noDates"}) {
        EXPECT_EQ(s.Item(name)->State, ssDone) << name;
        EXPECT_EQ(s.Find(name)->SubItems()->Text(2), "完了") << name;
        EXPECT_EQ(s.Find(name)->ImageIndex(), niToDoDone) << name;
    }
    EXPECT_EQ(s.Item("f")->State, ssDone);
    EXPECT_TRUE(s.Item("f")->Checked);
    s.Find("f")->Collapse();
    RefreshNode(s.Ctx, s.Find("f"), false);
    EXPECT_EQ(s.Find("f")->SubItems()->Text(2), "完了");
}

TEST(StateEval, EndingTodayIsCautionThenWarningTheNextDay) {
    const std::string lines = "{\nI|due|0|2024|4|29|2024|5|3|0|\n}";
    TTestSchedule today(kToday);
    today.Load(lines);
    TTreeNode* n = today.Find("due");
    EXPECT_EQ(n->Data()->State, ssCaution);
    EXPECT_EQ(n->SubItems()->Text(2), "1日残");
    EXPECT_EQ(n->ImageIndex(), niToDoCaution);

    TTestSchedule tomorrow(kToday + 1); // Saturday, a restart
    tomorrow.SetChart(D(2024, 4, 27));
    tomorrow.Load(lines);
    n = tomorrow.Find("due");
    EXPECT_EQ(n->Data()->State, ssWarning);
    EXPECT_EQ(n->SubItems()->Text(2), "遅延");
    // Chart from 27 April: the end is column 6, the day after column 7, today column 7.
    EXPECT_EQ(n->Data()->GetDayCell(6), ssWarning);
    EXPECT_EQ(n->Data()->GetDayCell(7), kCellOverdue);
    EXPECT_EQ(n->Data()->GetDayCell(8), kCellNothing);
}

TEST(StateEval, OnlyNonCountedDaysLeftIsWarningWithZeroDays) {
    TTestSchedule s(D(2024, 5, 4)); // Saturday; Sunday follows
    s.Load("{\nI|weekend|0|-|-|-|2024|5|5|0|\n}");
    TTreeNode* n = s.Find("weekend");
    EXPECT_EQ(n->Data()->State, ssWarning);
    EXPECT_EQ(n->SubItems()->Text(2), "0日間");
}

TEST(StateEval, AlertCountMovesCautionEarlier) {
    const std::string lines = "{\nI|t|0|-|-|-|2024|5|8|0|\n}"; // Wednesday: 4 counted days from Friday
    TTestSchedule s(kToday);
    s.Load(lines);
    EXPECT_EQ(s.Item("t")->State, ssInProgress);
    EXPECT_EQ(s.Find("t")->SubItems()->Text(2), "4日残");
    s.Calendar.AlertCount = 3;
    s.Load(lines);
    EXPECT_EQ(s.Item("t")->State, ssCaution);
}

TEST(StateEval, FutureBeginCountsFromTheBegin) {
    TTestSchedule s(kToday);
    s.Load("{\nI|soon|0|2024|5|6|2024|5|7|0|\nI|later|0|2024|5|6|2024|5|20|0|\n}");
    // Two counted days, limit 1: not caution; remaining from today is 3 > 1 → waiting.
    EXPECT_EQ(s.Item("soon")->State, ssWaiting);
    EXPECT_EQ(s.Find("soon")->SubItems()->Text(2), "2日間");
    s.Calendar.AlertCount = 2;
    s.Load("{\nI|soon|0|2024|5|6|2024|5|7|0|\n}");
    EXPECT_EQ(s.Item("soon")->State, ssCaution);
    EXPECT_EQ(s.Find("soon")->SubItems()->Text(2), "2日間"); // duration, not remaining
}

TEST(StateEval, FolderAggregation) {
    TTestSchedule s(kToday);
    s.Load("{\nF|f||-\n{\nI|done|1|2024|5|1|2024|5|2|0|\nF|empty||-\n}\n}");
    TSchItem* f = s.Item("f");
    EXPECT_FALSE(f->Empty);
    EXPECT_TRUE(f->Checked);
    EXPECT_EQ(f->State, ssDone);
    EXPECT_EQ(f->BeginDate, 0);
    EXPECT_EQ(f->EndDate, 0);
    EXPECT_TRUE(s.Item("empty")->Empty);
    EXPECT_EQ(s.Find("empty")->ImageIndex(), niFolderEmpty);
    EXPECT_EQ(s.Find("empty")->SubItems()->Text(2), "");
    EXPECT_EQ(s.Find("f")->SubItems()->Text(2), "完了");
    EXPECT_EQ(s.Find("f")->ImageIndex(), niFolderDone);
    for (int i = 0; i < 60; ++i)
        ASSERT_EQ(s.Item("empty")->GetDayCell(i), kCellNothing);
}

TEST(StateEval, FolderEndDependsOnChildOrder) {
    TTestSchedule s(kToday);
    s.Load("{\nF|a||-\n{\nI|x|0|-|-|-|-|-|-|0|\nI|y|0|-|-|-|2024|5|10|0|\n}\n"
           "F|b||-\n{\nI|x2|0|-|-|-|2024|5|10|0|\nI|y2|0|-|-|-|-|-|-|0|\n}\n}");
    EXPECT_EQ(s.Item("a")->EndDate, D(2024, 5, 10));
    EXPECT_EQ(s.Item("b")->EndDate, 0);
    EXPECT_EQ(s.Item("a")->State, ssInProgress); // the most severe child
}

TEST(StateEval, WarningFolderWithoutEndIsOverdueUpToToday) {
    TTestSchedule s(kToday);
    s.Load("{\nF|f||-\n{\nI|late|0|-|-|-|2024|5|1|0|\nI|open|0|-|-|-|-|-|-|0|\n}\n}");
    TSchItem* f = s.Item("f");
    ASSERT_EQ(f->State, ssWarning);
    EXPECT_EQ(f->EndDate, 0);
    // The chart starts 7 days before today; tomorrow (Saturday) the open child rests.
    EXPECT_EQ(Cells(f, 0, 9), "6 6 6 6 6 6 6 6 0 ");
    EXPECT_EQ(s.Find("f")->SubItems()->Text(2), "警告");
    EXPECT_EQ(s.Find("f")->ImageIndex(), niFolderWarning);
}

TEST(StateEval, RestCellsOnNonCountedDays) {
    TTestSchedule s(kToday);
    s.SetChart(kToday);
    s.Load("{\nI|t|0|2024|5|3|2024|5|13|0|\nI|all|0|2024|5|3|2024|5|13|2|\n}");
    // Fri Sat Sun Mon: Saturday (half) and Sunday (holiday) rest under HolidayLv 0.
    EXPECT_EQ(Cells(s.Item("t"), 0, 4), "3 0 0 3 ");
    EXPECT_EQ(Cells(s.Item("all"), 0, 4), "3 3 3 3 ");
    EXPECT_EQ(Cells(s.Item("t"), 10, 2), "3 -1 ");
}

TEST(StateEval, ExpandingShowsArrows) {
    TTestSchedule s(kToday);
    s.Load("{\nF|f||+\n{\nI|t|0|-|-|-|2024|5|10|0|\n}\n}");
    TTreeNode* f = s.Find("f");
    ASSERT_TRUE(f->Expanded());
    EXPECT_EQ(f->SubItems()->Text(0), "↓");
    EXPECT_EQ(f->SubItems()->Text(1), "↓");
    EXPECT_EQ(f->SubItems()->Text(2), "");
    f->Collapse();
    RefreshNode(s.Ctx, f, false);
    EXPECT_EQ(f->SubItems()->Text(1), "2024/05/10(金)");
    EXPECT_EQ(f->SubItems()->Text(2), "進行");
}

TEST(StateEval, ChangedItemRefreshesItsAncestors) {
    TTestSchedule s(kToday);
    s.Load("{\nF|f||-\n{\nF|g||-\n{\nI|t|0|-|-|-|2024|5|10|0|\n}\n}\n}");
    TSchItem* t = s.Item("t");
    t->SetChecked(true);
    RefreshChangedItem(s.Ctx, t->Node);
    EXPECT_EQ(s.Item("g")->State, ssDone);
    EXPECT_EQ(s.Item("f")->State, ssDone);
    EXPECT_EQ(s.Find("f")->SubItems()->Text(2), "完了");
    EXPECT_EQ(s.Root()->ImageIndex(), niRoot); // the root keeps its image
}

TEST(StateEval, Texts) {
    EXPECT_EQ(DateText(0), "-");
    EXPECT_EQ(DateText(D(2024, 5, 3)), "2024/05/03(金)");
    EXPECT_EQ(RelativeDayText(kToday, kToday), "今日");
    EXPECT_EQ(RelativeDayText(kToday + 1, kToday), "明日");
    EXPECT_EQ(RelativeDayText(kToday + 2, kToday), "明後日");
    EXPECT_EQ(RelativeDayText(kToday - 1, kToday), "昨日");
    EXPECT_EQ(RelativeDayText(kToday - 2, kToday), "一昨日");
    EXPECT_EQ(RelativeDayText(kToday + 5, kToday), "5日後");
    EXPECT_EQ(RelativeDayText(kToday - 3, kToday), "3日前");
}

// Random schedules under random calendars: the indexed lookup and the literal rule must give
// identical states, texts and cells.
TEST(StateEval, IndexedAndLiteralGiveIdenticalResults) {
    std::mt19937 rng(99);
    auto pick = [&](int lo, int hi) { return lo + static_cast<int>(rng() % static_cast<unsigned>(hi - lo + 1)); };
    for (int round = 0; round < 40; ++round) {
        std::string lines = "{\n";
        int open = 0;
        for (int i = 0; i < 40; ++i) {
            if (pick(0, 6) == 0) {
                lines += "F|f" + std::to_string(i) + "||" + (pick(0, 1) ? "+" : "-") + "\n{\n";
                ++open;
            }
            std::string b = pick(0, 3) ? "2024|5|" + std::to_string(pick(1, 31)) : "-|-|-";
            std::string e =
                pick(0, 3) ? "2024|" + std::to_string(pick(5, 6)) + "|" + std::to_string(pick(1, 30)) : "-|-|-";
            lines += "I|t" + std::to_string(i) + "|" + (pick(0, 5) ? "0" : "1") + "|" + b + "|" + e + "|" +
                     std::to_string(pick(0, 2)) + "|\n";
            if (open > 0 && pick(0, 5) == 0) {
                lines += "}\n";
                --open;
            }
        }
        lines += "}\n";
        std::vector<std::string> holidays;
        for (int i = pick(0, 30); i > 0; --i)
            holidays.push_back("2024\t" + std::to_string(pick(4, 7)) + "\t" + std::to_string(pick(1, 31)) + "\t" +
                               std::to_string(pick(-1, 3)));
        const TDate today = D(2024, 5, 1) + pick(0, 40);
        const TDate chart = today - pick(0, 20);
        TTestSchedule a(today), b(today);
        b.Calendar.SetLiteralLookup(true);
        for (TTestSchedule* s : {&a, &b}) {
            s->Calendar.SetHolidayDates(holidays);
            s->Calendar.HolidayLv = round % 3;
            s->Calendar.AlertCount = round % 8;
            s->SetChart(chart);
        }
        a.Load(lines);
        b.Load(lines);
        for (TTreeNode *x = a.Root(), *y = b.Root(); x || y; x = x->GetNext(), y = y->GetNext()) {
            ASSERT_TRUE(x && y);
            ASSERT_EQ(x->ImageIndex(), y->ImageIndex());
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(x->SubItems()->Text(c), y->SubItems()->Text(c));
            if (!x->Data()) continue;
            ASSERT_EQ(x->Data()->State, y->Data()->State);
            ASSERT_EQ(x->Data()->DayCells, y->Data()->DayCells) << x->Text();
            // What the terminal program writes without keeping the texts is what the rows hold.
            std::string row[3];
            RowTexts(a.Ctx, x, row);
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(row[c], x->SubItems()->Text(c)) << x->Text() << " column " << c;
        }
        // States alone, as the agenda evaluates them, agree with the full refresh.
        TTestSchedule c(today);
        c.Calendar.SetHolidayDates(holidays);
        c.Calendar.HolidayLv = a.Calendar.HolidayLv;
        c.Calendar.AlertCount = a.Calendar.AlertCount;
        c.SetChart(chart);
        TTreeNode* root = CreateScheduleRoot(c.Nodes, "r");
        ReadItemLines(c.Nodes, root, Tabs(lines), nullptr);
        EvaluateStates(c.Ctx, c.Nodes);
        for (TTreeNode *x = a.Root(), *z = c.Root(); x || z; x = x->GetNext(), z = z->GetNext()) {
            ASSERT_TRUE(x && z);
            if (!x->Data()) continue;
            ASSERT_EQ(x->Data()->State, z->Data()->State) << x->Text();
            ASSERT_EQ(x->ImageIndex(), z->ImageIndex()) << x->Text();
        }
    }
}

// Without the flag a folder sums up its children as they stand; with it everything below is
// brought up to date first, bottom-up, however deep.
TEST(StateEval, RecursiveFolderUpdateHonoursItsFlag) {
    TTestSchedule s(kToday);
    s.Load("{\nF|top||+\n{\nF|mid||+\n{\nI|due|0|-|-|-|2024|5|10|0|\n}\nI|near|0|-|-|-|-|-|-|0|\n}\n}");
    TSchItem* top = s.Item("top");
    ASSERT_EQ(top->State, ssInProgress);
    s.Item("due")->Checked = true;
    s.Item("near")->Checked = true;
    top->UpdateState(s.Ctx, false);
    EXPECT_EQ(top->State, ssInProgress); // "mid" still says what it said
    EXPECT_FALSE(top->Checked);
    EXPECT_EQ(s.Item("due")->State, ssInProgress);
    top->UpdateState(s.Ctx, true);
    EXPECT_EQ(s.Item("due")->State, ssDone);
    EXPECT_TRUE(s.Item("mid")->Checked);
    EXPECT_EQ(s.Item("mid")->State, ssDone);
    EXPECT_TRUE(top->Checked);
    EXPECT_EQ(top->State, ssDone);

    TTreeNode* n = s.Find("top");
    TSchFolder* first = nullptr;
    for (int i = 0; i < 200000; ++i) {
        n = s.Nodes.AddChild(n, "");
        auto* f = static_cast<TSchFolder*>(BindItem(n, TSchFolder::Create("f", n)));
        if (!first) first = f;
    }
    TTreeNode* leaf = s.Nodes.AddChild(n, "");
    BindItem(leaf, TSchToDo::Create("leaf", leaf, false, 0, kToday - 1));
    first->UpdateState(s.Ctx, true);
    EXPECT_EQ(first->State, ssWarning);
    EXPECT_EQ(first->EndDate, kToday - 1);
}
