// SPDX-License-Identifier: GPL-3.0-or-later
// The find bar driven without the main window (offscreen), then once in the window for its keys.
#include "main/FindBar.h"
#include "base/Cp932.h"
#include "controls/TreeList.h"
#include "dialogs/FormProperty.h"
#include "main/FormMain.h"
#include "model/SchItem.h"
#include "model/ScheduleFormat.h"
#include "ui/MainParts.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include <random>

using namespace quillo;
using namespace quillo::test;

namespace {
const TDate kToday = D(2024, 5, 3);

// 仕事 is closed by the user, 資料 and 個人 open.
const char* const kPlan = "D|2024|5|3\nA-\n{\n"
                          "F|仕事||-\n{\n"
                          "I|見積書を送る|0|2024|5|1|2024|5|10|0|\n"
                          "I|会議|0|2024|5|20|2024|5|20|0|%mb;見積の相談%me;\n"
                          "F|資料||+\n{\n"
                          "I|報告|1|-|-|-|-|-|-|0|%lb;http://example.com/ﾐﾂﾓﾘ%le;\n"
                          "}\n}\n"
                          "F|個人||+\n{\n"
                          "I|買い物|0|2024|5|3|2024|5|3|0|\n"
                          "I|ＡＢＣ見積り|0|-|-|-|-|-|-|0|\n"
                          "}\n}\n";

std::string C(const std::string& utf8) {
    return *Utf8ToCp932(utf8);
}

struct TFindParts : TTreeParts {
    std::vector<bool> Lent; // what the bar asked of the editing keys
    TFindBar Find{*P.Context,
                  {[this] { return Chart.SelectedDate(); },
                   [this](bool given) {
                       P.Commands->SetEditingKeys(given);
                       Lent.push_back(given);
                   },
                   {}}};
    QAbstractItemModelTester Tester{&P.Tree->Model(), QAbstractItemModelTester::FailureReportingMode::Fatal};

    TFindParts() : TTreeParts(kToday) {
        static_cast<QBoxLayout*>(P.Window->centralWidget()->layout())->insertWidget(0, Find.Bar());
        QApplication::setActiveWindow(P.Window.get());
        P.Open(C(Tabs(kPlan)));
    }
    TTreeNode* Node(const std::string& utf8) const { return P.Node(C(utf8)); }
    void Type(const char* text) { Find.TextBox()->setText(QString::fromUtf8(text)); }
    // The rows the tree shows, top to bottom, a find marked "!" when its name is marked.
    std::string Rows() const {
        std::string out;
        for (QModelIndex i = P.Tree->model()->index(0, 0); i.isValid(); i = P.Tree->indexBelow(i)) {
            const TTreeNode* n = TNodesModel::NodeOf(i);
            out += (out.empty() ? "" : " ") + Cp932ToUtf8(n->Text()) + (Find.Marks(n).empty() ? "" : "!");
        }
        return out;
    }
    std::string Selected() const { return P.Tree->Selected() ? Cp932ToUtf8(P.Tree->Selected()->Text()) : ""; }
    std::vector<bool> Marks() const { // every folder's open mark, in tree order
        std::vector<bool> marks;
        for (TTreeNode* n = P.Document.Root(); n; n = n->GetNext())
            marks.push_back(n->Expanded());
        return marks;
    }
};

struct TFinding : ::testing::Test, TFindParts {};

// What the file would hold, and what the history can do.
std::string Saved(const TMainParts& p) {
    return BuildScheduleText(p.Document.Nodes(), kToday, false, kToday) + (p.Document.Modified() ? "M" : "") +
           (p.Editor.CanUndo() ? "U" : "") + (p.Editor.CanRedo() ? "R" : "") +
           std::to_string(p.Document.History.Count());
}
} // namespace

TEST_F(TFinding, TypingFiltersMarksAndF3WalksTheFinds) {
    EXPECT_EQ(Rows(), "plan 仕事 個人 買い物 ＡＢＣ見積り");
    P.Trigger("ActionFind");
    ASSERT_TRUE(Find.IsOpen());
    EXPECT_TRUE(Find.TextBox()->hasFocus());
    Type("見積"); // in a name, in a memo; the closed folder opens for its finds
    EXPECT_EQ(Rows(), "plan 仕事 見積書を送る! 会議 個人 ＡＢＣ見積り!");
    EXPECT_EQ(Find.CountLabel()->text(), QStringLiteral("3件"));
    EXPECT_EQ(Find.Marks(Node("ＡＢＣ見積り")), (std::vector<std::pair<int, int>>{{3, 5}}));
    Type("abc"); // full width and case do not matter; the folder closes again
    EXPECT_EQ(Rows(), "plan 個人 ＡＢＣ見積り!");
    EXPECT_EQ(Find.Marks(Node("ＡＢＣ見積り")), (std::vector<std::pair<int, int>>{{0, 3}}));
    EXPECT_FALSE(Node("仕事")->Expanded());
    Type("みつもり"); // only in a link, in half-width katakana
    EXPECT_EQ(Rows(), "");
    EXPECT_EQ(Find.CountLabel()->text(), QStringLiteral("見つかりません"));
    Find.KanaCheck()->setChecked(true);
    EXPECT_EQ(Rows(), "plan 仕事 資料 報告");
    Find.KanaCheck()->setChecked(false);

    // The mark is painted behind the found characters.
    Type("見積");
    const QRect row = P.Tree->visualRect(P.Tree->Model().IndexOf(Node("見積書を送る")));
    const QImage image = P.Tree->viewport()->grab().toImage();
    int marked = 0;
    for (int x = row.left(); x < row.right(); ++x)
        marked += image.pixelColor(x, row.top() + 3) == QColor(255, 222, 80);
    EXPECT_GT(marked, 8);

    // F3 and Enter forward, Shift back, round and round; ancestors are passed over.
    P.Select(P.Document.Root());
    std::string walk;
    for (int i = 0; i < 4; ++i) {
        P.Trigger("ActionFindNext");
        walk += Selected() + " ";
    }
    P.Trigger("ActionFindPrev");
    walk += Selected() + " ";
    QTest::keyClick(Find.TextBox(), Qt::Key_Return);
    walk += Selected() + " ";
    QTest::keyClick(Find.TextBox(), Qt::Key_Return, Qt::ShiftModifier);
    walk += Selected();
    EXPECT_EQ(walk, "見積書を送る 会議 ＡＢＣ見積り 見積書を送る ＡＢＣ見積り 見積書を送る ＡＢＣ見積り");
    // A selection the next text hides moves on to the next find.
    Type("見積書");
    EXPECT_EQ(Selected(), "見積書を送る");
}

// The bar's icons come with its first opening, and stay for the next.
TEST_F(TFinding, TheOpenedBarHasItsClearAndCloseButtons) {
    auto* close = Find.Bar()->findChild<QToolButton*>(QStringLiteral("FindClose"));
    ASSERT_NE(close, nullptr);
    for (int opening = 0; opening < 2; ++opening) {
        P.Trigger("ActionFind");
        EXPECT_TRUE(Find.TextBox()->isClearButtonEnabled());
        EXPECT_FALSE(close->icon().isNull());
        Type("報");
        EXPECT_EQ(Rows(), "plan 仕事 資料 報告!");
        close->click();
        EXPECT_FALSE(Find.IsOpen());
        EXPECT_EQ(Rows(), "plan 仕事 個人 買い物 ＡＢＣ見積り");
    }
}

TEST_F(TFinding, EscGivesTheTreeBackAsTheUserLeftItAndRecordsNothing) {
    P.Select(Node("買い物"));
    const std::vector<bool> before = Marks();
    const std::string rows = Rows();
    P.Trigger("ActionFind");
    EXPECT_EQ(Lent, std::vector<bool>{false}); // Space, Del, Ctrl+Z are the text's
    EXPECT_TRUE(P.Action("ActionItemDelete")->shortcut().isEmpty());
    Type("報");
    EXPECT_EQ(Rows(), "plan 仕事 資料 報告!");
    EXPECT_TRUE(Node("仕事")->Expanded());
    EXPECT_EQ(Selected(), "報告");
    P.Trigger("ActionFindNext");
    Find.StateBox()->setCurrentIndex(sfNotDone); // 報告 is done: nothing
    EXPECT_EQ(Rows(), "");
    Find.StateBox()->setCurrentIndex(sfAll);
    QTest::keyClick(Find.TextBox(), Qt::Key_Escape);
    EXPECT_FALSE(Find.IsOpen());
    EXPECT_FALSE(Find.Bar()->isVisible());
    EXPECT_EQ(Marks(), before);
    EXPECT_EQ(Rows(), rows);
    EXPECT_EQ(Selected(), "仕事"); // the find's folder closed again: it takes the selection
    EXPECT_TRUE(P.Tree->hasFocus());
    EXPECT_EQ(Lent.back(), true);
    EXPECT_EQ(P.Action("ActionItemDelete")->shortcut(), QKeySequence(Qt::Key_Delete));
    EXPECT_FALSE(P.Document.Modified());
    EXPECT_FALSE(P.Editor.CanUndo());
    EXPECT_EQ(Find.Filter().HeldCount(), 0u);
    // Opened again, the last text finds again, selected so that typing replaces it.
    P.Trigger("ActionFind");
    EXPECT_EQ(Find.TextBox()->selectedText(), QStringLiteral("報"));
    EXPECT_EQ(Rows(), "plan 仕事 資料 報告!");
    P.Trigger("ActionFindClose");
    EXPECT_EQ(Marks(), before);
}

TEST_F(TFinding, CommandsWorkOnTheRealTreeWhileFiltered) {
    P.Trigger("ActionFind");
    Type("見積");
    P.Select(Node("見積書を送る"));

    // A new to-do that does not match stays, and so does a find renamed to something else.
    QTimer::singleShot(0, [] { qobject_cast<TFormProperty*>(QApplication::activeModalWidget())->OkButton->click(); });
    P.Trigger("ActionItemToDoNew");
    EXPECT_EQ(Rows(), "plan 仕事 見積書を送る! 新しい予定 会議 個人 ＡＢＣ見積り!");
    EXPECT_EQ(Selected(), "新しい予定");
    EXPECT_EQ(Find.Filter().HeldCount(), 0u); // 仕事 opened for the new to-do: the user's from now on
    std::string name = C("請求書");
    P.Tree->OnEdited(P.Tree, Node("見積書を送る"), name);
    EXPECT_EQ(Rows(), "plan 仕事 請求書 新しい予定 会議 個人 ＡＢＣ見積り!");
    Type("見積り"); // a new text: what no longer matches goes
    EXPECT_EQ(Rows(), "plan 個人 ＡＢＣ見積り!");

    // A new folder keeps its rename box through the filter's update.
    P.Select(Node("ＡＢＣ見積り"));
    P.Trigger("ActionItemFolderNew");
    EXPECT_TRUE(P.Tree->IsEditing());
    QTest::keyClick(P.Tree->findChild<QLineEdit*>(), Qt::Key_Escape);
    EXPECT_EQ(Rows(), "plan 個人 ＡＢＣ見積り! 新しいフォルダ");

    // Deleting a find, and a folder the filter holds open; undo and redo bring back what they touched.
    P.Select(Node("ＡＢＣ見積り"));
    P.Trigger("ActionItemDeleteNoWarning");
    EXPECT_EQ(Rows(), "plan 個人 新しいフォルダ");
    Type("見積");
    P.Select(Node("仕事"));
    P.Trigger("ActionItemDeleteNoWarning");
    EXPECT_EQ(Find.Filter().HeldCount(), 0u);
    EXPECT_EQ(Rows(), "");
    P.Trigger("ActionEditUndo");
    EXPECT_EQ(Rows(), "plan 仕事 請求書 新しい予定 会議 資料 報告");
    P.Trigger("ActionEditUndo");
    EXPECT_EQ(Rows(), "plan 仕事 請求書 新しい予定 会議 資料 報告 個人 ＡＢＣ見積り!");
    P.Trigger("ActionEditRedo");
    P.Trigger("ActionEditRedo");
    EXPECT_EQ(Rows(), "");
    P.Trigger("ActionEditUndo");
    Type("見積書");
    P.Trigger("ActionFindClose");
    EXPECT_TRUE(Node("仕事")->Expanded()); // with the new to-do in sight
}

// A new to-do in a folder the search found stays in sight while the text stays, done or not; the
// folders the search opened close again after it.
TEST_F(TFinding, ANewToDoInAFoundFolderStaysUntilTheTextChanges) {
    P.Trigger("ActionFind");
    Type("資料");
    EXPECT_EQ(Rows(), "plan 仕事 資料!");
    P.Select(Node("資料"));
    QTimer::singleShot(0, [] { qobject_cast<TFormProperty*>(QApplication::activeModalWidget())->OkButton->click(); });
    P.Trigger("ActionItemToDoNew");
    EXPECT_EQ(Rows(), "plan 仕事 資料! 新しい予定");
    P.Trigger("ActionItemChkReverse");
    P.Trigger("ActionEditUndo");
    EXPECT_EQ(Rows(), "plan 仕事 資料! 新しい予定");
    Type("資");
    EXPECT_EQ(Rows(), "plan 仕事 資料!");
    P.Trigger("ActionFindClose");
    EXPECT_FALSE(Node("仕事")->Expanded());
    EXPECT_EQ(Selected(), "仕事");
    EXPECT_EQ(Find.Filter().HeldCount(), 0u);
}

// Each state choice against the states the schedule shows; the text narrows within the state.
TEST_F(TFinding, EachStateChoiceShowsItsItems) {
    P.Open(C(Tabs("D|2024|5|3\nA-\n{\nF|A||+\n{\n"
                  "I|late|0|2024|4|1|2024|4|20|0|\n"
                  "I|now|0|2024|5|1|2024|5|10|0|\n"
                  "I|soon|0|2024|5|4|2024|5|9|0|\n"
                  "I|later|0|2024|6|4|2024|6|9|0|\n"
                  "I|done|1|2024|5|1|2024|5|2|0|\n"
                  "}\nF|B||-\n{\nI|now too|0|2024|5|3|2024|5|3|0|\n}\n}\n")));
    P.Trigger("ActionFind");
    std::string out;
    for (int state = sfAll; state <= sfAlert; ++state) {
        Find.StateBox()->setCurrentIndex(state);
        out += Rows() + "|";
    }
    Type("NOW");
    out += Rows();
    // "now too" ends today (caution), "late" is past its end (warning); B is closed by the user.
    EXPECT_EQ(out, "plan A late now soon later done B|plan A late now soon later B now too|plan A now|"
                   "plan A late B now too|plan B now too!");
}

TEST_F(TFinding, SavingWhileFilteredWritesTheUsersMarks) {
    P.Trigger("ActionFind");
    Type("見積書");
    ASSERT_TRUE(Node("仕事")->Expanded());
    P.Trigger("ActionItemChkReverse"); // a real change, so that the file is saved
    P.Trigger("ActionFileSave");
    const std::string saved = Cp932ToUtf8(ReadFile(P.Dir.File("plan.qlp")));
    EXPECT_NE(saved.find("F\t仕事\t\t-"), std::string::npos) << saved;
    EXPECT_NE(saved.find("F\t資料\t\t+"), std::string::npos) << saved;
    EXPECT_FALSE(P.Document.Modified());
    P.Trigger("ActionFindClose");
    EXPECT_FALSE(P.Document.Modified());
    // A folder the user opens himself while filtered is his from then on.
    P.Trigger("ActionFind");
    P.Tree->ToggleExpanded(Node("仕事"));
    P.Tree->ToggleExpanded(Node("仕事"));
    EXPECT_TRUE(Node("仕事")->Expanded());
    P.Trigger("ActionFindClose");
    EXPECT_TRUE(Node("仕事")->Expanded());
}

TEST_F(TFinding, TheDayFilterFollowsTheChartsSelectedDay) {
    Chart.SetSelectedDate(kToday);
    P.Trigger("ActionFind");
    Find.StateBox()->setCurrentIndex(sfOnDay);
    EXPECT_EQ(Rows(), "plan 仕事 見積書を送る 資料 報告 個人 買い物 ＡＢＣ見積り");
    Chart.SetSelectedDate(D(2024, 5, 20));
    P.Commands->Update(); // when idle
    EXPECT_EQ(Rows(), "plan 仕事 会議 資料 報告 個人 ＡＢＣ見積り");
    P.Commands->Run([this] { P.Files.FileClose(); }); // the bar goes with the schedule
    EXPECT_FALSE(Find.IsOpen());
    EXPECT_EQ(Find.Filter().HeldCount(), 0u);
}

// In the window: the bar's keys are its own, and its Esc ends the search, never sending the
// window into the tray.
TEST(FindBarWindow, EscEndsTheSearchAndNeverGoesIntoTheTray) {
    TTempDir dir;
    TScriptedDesktop desktop;
    TFixedClock clock(kToday + 0.5);
    TFormMain form(desktop, clock, "");
    form.resize(800, 500);
    form.show();
    QApplication::setActiveWindow(&form);
    const std::string path = dir.File("plan.qlp");
    WriteFile(path, C(Tabs(kPlan)));
    desktop.SetNextFile(path);
    form.Execute("ActionFileOpen");
    const std::string file = ReadFile(path);
    QAction* tray = form.FindAction("ActionIntoTaskTray");
    ASSERT_EQ(tray->shortcut(), QKeySequence(Qt::Key_Escape));

    QTest::keyClick(form.TreeList(), Qt::Key_F, Qt::ControlModifier);
    QLineEdit* text = form.Find().TextBox();
    ASSERT_TRUE(text->hasFocus());
    EXPECT_TRUE(tray->shortcut().isEmpty());
    form.SelectNode(form.TreeList()->Items().GetFirstNode());
    text->setFocus();
    QTest::keyClicks(text, "ab c"); // Space is a letter here, not the done mark
    QTest::keyClick(text, Qt::Key_Delete);
    QTest::keyClick(text, Qt::Key_Backspace);
    EXPECT_EQ(text->text(), QStringLiteral("ab "));
    QTest::keyClick(text, Qt::Key_Escape);
    EXPECT_FALSE(form.Find().IsOpen());
    EXPECT_FALSE(form.InTaskTray());
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(form.isMinimized());
    form.UpdateActions();
    EXPECT_FALSE(form.FindAction("ActionFileSave")->isEnabled());
    EXPECT_FALSE(form.FindAction("ActionEditUndo")->isEnabled());
    EXPECT_EQ(ReadFile(path), file);
    EXPECT_EQ(tray->shortcut(), QKeySequence(Qt::Key_Escape));

    // With the tree in hand, F3 and Shift+F3 walk the finds, the first Esc ends the search and the
    // next one goes into the tray.
    QTest::keyClick(form.TreeList(), Qt::Key_F, Qt::ControlModifier);
    text->setText(QString::fromUtf8("見積"));
    form.TreeList()->setFocus();
    form.SelectNode(form.TreeList()->Items().GetFirstNode());
    std::string walk;
    for (const auto modifier : {Qt::NoModifier, Qt::NoModifier, Qt::ShiftModifier, Qt::ShiftModifier}) {
        QTest::keyClick(form.TreeList(), Qt::Key_F3, modifier);
        walk += Cp932ToUtf8(form.TreeList()->Selected()->Text()) + " ";
    }
    EXPECT_EQ(walk, "見積書を送る 会議 見積書を送る ＡＢＣ見積り ");
    QTest::keyClick(form.TreeList(), Qt::Key_Escape);
    EXPECT_FALSE(form.Find().IsOpen());
    EXPECT_FALSE(form.InTaskTray());
    QTest::keyClick(form.TreeList(), Qt::Key_Escape);
    EXPECT_TRUE(form.InTaskTray());
    form.OutFromTaskTray();
}

// The same random session of commands on two windows, one searching all along: the user acts on
// the rows the search shows, and both schedules stay the same to the byte, with the same history;
// the searching one keeps every find shown and every folder it opened open.
TEST(FindBarSession, CommandsWhileFilteredDoWhatTheyDoUnfiltered) {
    const char* const names[] = {"見積", "ﾐﾂﾓﾘ", "ａｂ", "報告", "x"};
    const char* const queries[] = {"", "見積", "みつ", "AB", "報", "x", "q"};
    for (unsigned seed = 1; seed <= 30; ++seed) {
        std::mt19937 rng(seed);
        TFindParts f;
        TTreeParts plain(kToday);
        plain.P.Open(C(Tabs(kPlan)));
        f.P.Trigger("ActionFind");
        f.Type("見積");
        std::string trace;
        for (int step = 0; step < 60; ++step) {
            // The user picks a row the search shows.
            std::vector<TTreeNode*> rows;
            for (QModelIndex i = f.P.Tree->model()->index(0, 0); i.isValid(); i = f.P.Tree->indexBelow(i))
                rows.push_back(TNodesModel::NodeOf(i));
            // With nothing shown nothing is selected.
            TTreeNode* picked = rows.empty() ? nullptr : rows[rng() % rows.size()];
            TTreeNode* twin = picked ? NodeAt(plain.P.Document.Nodes(), PathOf(picked)) : nullptr;
            f.P.Select(picked);
            plain.P.Select(twin);
            const auto both = [&](const char* command) {
                trace += std::string(command) + " ";
                f.P.Trigger(command);
                plain.P.Trigger(command);
            };
            const auto confirmed = [&](const char* command) {
                for (TTreeParts* side : {static_cast<TTreeParts*>(&f), &plain}) {
                    QTimer::singleShot(0, [] {
                        if (auto* form = qobject_cast<TFormProperty*>(QApplication::activeModalWidget()))
                            form->OkButton->click();
                    });
                    QApplication::setActiveWindow(side->P.Window.get());
                    side->P.Trigger(command);
                    for (QLineEdit* box : side->P.Tree->findChildren<QLineEdit*>())
                        if (box->isVisible()) QTest::keyClick(box, Qt::Key_Escape);
                    ASSERT_FALSE(side->P.Tree->IsEditing());
                }
                trace += std::string(command) + " ";
            };
            switch (rng() % 12) {
            case 0:
                f.Type(queries[rng() % std::size(queries)]);
                trace += "type ";
                break;
            case 1:
                f.Find.StateBox()->setCurrentIndex(int(rng() % 4)); // the day filter has its own test
                f.Find.KanaCheck()->setChecked(rng() % 2);
                trace += "state ";
                break;
            case 2:
                confirmed(rng() % 2 ? "ActionItemToDoNew" : "ActionItemFolderNew");
                break;
            case 3:
                if (picked && picked->Parent()) both("ActionItemDeleteNoWarning");
                break;
            case 4:
                both(rng() % 3 ? "ActionEditUndo" : "ActionEditRedo");
                break;
            case 5:
                both("ActionItemCopy");
                both("ActionItemPaste");
                break;
            case 6:
                both(rng() % 2 ? "ActionItemUp" : "ActionItemDown");
                break;
            case 7:
                both("ActionItemChkReverse");
                break;
            case 8: {
                if (!picked) break;
                std::string name = C(names[rng() % std::size(names)]);
                std::string same = name;
                f.P.Tree->OnEdited(f.P.Tree, picked, name);
                plain.P.Tree->OnEdited(plain.P.Tree, twin, same);
                trace += "rename ";
                break;
            }
            case 9: { // a folder opened or closed by hand is the user's mark
                if (!picked) break;
                f.P.Tree->ToggleExpanded(picked);
                // Closing a folder the search opened is a change of mark like any other.
                if (twin->Expanded() != picked->Expanded())
                    plain.P.Tree->ToggleExpanded(twin);
                else if (f.P.Document.Modified())
                    plain.P.Document.ChangedOutsideHistory();
                trace += "toggle ";
                break;
            }
            case 10: { // dragged by the mouse onto another row that shows
                if (!picked) break;
                TTreeNode* target = rows[rng() % rows.size()];
                TTreeNode* twinTarget = NodeAt(plain.P.Document.Nodes(), PathOf(target));
                TTreeList* list = f.P.Tree;
                const QPoint from = list->TextRect(picked).center(), to = list->TextRect(target).center();
                QTest::mousePress(list->viewport(), Qt::LeftButton, {}, from);
                bool accept = false;
                list->OnDragOver(list, list, to.x(), to.y(), accept);
                if (accept) list->OnDragDrop(list, list, to.x(), to.y());
                list->OnEndDrag(list, accept ? list : nullptr, to.x(), to.y());
                QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, from);
                if (accept && twin->Parent()) {
                    const bool keepClosed =
                        !twinTarget->Expanded() && (!twinTarget->Data() || twinTarget->Data()->IsFolder());
                    plain.P.Commands->Run([&] { plain.P.Editor.Drop(twin, twinTarget); });
                    plain.P.Context->Reveal(keepClosed ? twinTarget : twin);
                }
                trace += accept ? "drag " : "nodrag ";
                break;
            }
            default:
                f.P.Trigger("ActionFindClose");
                f.P.Trigger("ActionFind");
                trace += "reopen ";
            }
            ASSERT_EQ(Saved(f.P), Saved(plain.P)) << "seed " << seed << ": " << trace;
            const TTreeFilter& filter = f.Find.Filter();
            for (TTreeNode* n = f.P.Document.Root(); n; n = n->GetNext()) {
                if (filter.Active() && filter.Matches(n, f.P.Eval)) {
                    for (TTreeNode* a = n; a; a = a->Parent())
                        ASSERT_TRUE(f.P.Tree->Model().Shown(a)) << "seed " << seed << ": " << trace;
                }
                ASSERT_TRUE(!filter.HoldsOpen(n) || n->Expanded());
            }
        }
        f.P.Trigger("ActionFindClose");
        for (TTreeNode *a = f.P.Document.Root(), *b = plain.P.Document.Root(); a || b;
             a = a->GetNext(), b = b->GetNext()) {
            ASSERT_TRUE(a && b);
            ASSERT_EQ(a->Expanded(), b->Expanded()) << "seed " << seed << ": " << trace;
        }
    }
}
