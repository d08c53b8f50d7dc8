// SPDX-License-Identifier: GPL-3.0-or-later
// The tree editing commands and the tree's gestures, driven without the main window, offscreen,
// with scripted answers.
#include "base/Cp932.h"
#include "controls/TreeList.h"
#include "dialogs/FormProperty.h"
#include "main/ChartView.h"
#include "main/ItemCommands.h"
#include "main/TreeGestures.h"
#include "model/SchItem.h"
#include "settings/Settings.h"
#include "ui/MainParts.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace quillo;
using namespace quillo::test;

namespace {
const TDate kToday = D(2024, 5, 3);

struct TEditing : ::testing::Test, TTreeParts {
    TEditing() : TTreeParts(kToday) {
        P.Open(
            Tabs("D|2024|5|3\nA-\n{\nF|Work||+\n{\nI|Report|0|2024|5|5|2024|5|5|0|\nI|Mail|0|-|-|-|-|-|-|0|\n}\n}\n"));
    }
    TTreeList* List() const { return P.Tree; }
    TTreeNode* Root() const { return P.Document.Root(); }
    TTreeNode* Node(const std::string& name) const { return P.Node(name); }
    void Select(TTreeNode* n) { P.Select(n); }
    void Trigger(const char* name) { P.Trigger(name); }
    QAction* Action(const char* name) const { return P.Action(name); }
    bool Modified() const { return P.Document.Modified(); }
    QPoint IconOf(TTreeNode* n) const {
        const QRect row = List()->visualRect(List()->Model().IndexOf(n));
        for (int x = row.left(); x < row.left() + 200; ++x)
            if (List()->GetHitTestInfoAt(x, row.center().y()) & htOnIcon) return {x + 2, row.center().y()};
        return {};
    }
};
} // namespace

TEST_F(TEditing, ANewToDoIsDatedTheSelectedDayAndACancelLeavesNoTrace) {
    Select(Node("Report"));
    QTimer::singleShot(0,
                       [] { qobject_cast<TFormProperty*>(QApplication::activeModalWidget())->CancelButton->click(); });
    Trigger("ActionItemToDoNew");
    EXPECT_EQ(Node("Work")->Count(), 2);
    EXPECT_FALSE(Modified());
    EXPECT_FALSE(Action("ActionEditUndo")->isEnabled());
    EXPECT_EQ(List()->Selected(), Node("Report"));

    // A press on 10 May's column of the to-do's row picks that day.
    const TExSection* day = P.Header->Sections().Items(TChartView::kFirstDaySection + 14);
    const int y = List()->visualRect(List()->Model().IndexOf(Node("Report"))).center().y();
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, QPoint(day->Left() + 4 - P.Header->offset(), y));
    EXPECT_EQ(Chart.SelectedDate(), D(2024, 5, 10));
    EXPECT_EQ(List()->Selected(), Node("Report"));
    QTimer::singleShot(0, [] {
        auto* d = qobject_cast<TFormProperty*>(QApplication::activeModalWidget());
        d->NameEdit->setText("Call");
        d->OkButton->click();
    });
    Trigger("ActionItemToDoNew");
    TTreeNode* call = Node("Call");
    ASSERT_TRUE(call);
    EXPECT_EQ(call->Index(), 1); // right after the selected to-do
    EXPECT_EQ(call->Data()->BeginDate, D(2024, 5, 10));
    EXPECT_EQ(call->Data()->EndDate, D(2024, 5, 10));
    EXPECT_TRUE(Modified());
    EXPECT_EQ(List()->Selected(), call);
    Trigger("ActionEditUndo"); // back to the file as saved: not modified
    EXPECT_FALSE(Node("Call"));
    EXPECT_FALSE(Modified());
    Trigger("ActionEditRedo");
    EXPECT_TRUE(Node("Call"));
    EXPECT_TRUE(Modified());
}

TEST_F(TEditing, RenamesFromTheBoxWithTheirRules) {
    std::string text = "new name";
    List()->OnEdited(List(), Root(), text); // the root keeps the file's name
    ASSERT_EQ(P.Desktop.Shown.size(), 1u);
    EXPECT_EQ(P.Desktop.Shown[0].Text, "予定表の名前は直接編集できません。\r\n（常にファイル名と同一です）");
    EXPECT_FALSE(Modified());
    text = "Mail";
    List()->OnEdited(List(), Node("Mail"), text); // unchanged, still a change
    EXPECT_TRUE(Modified());
    text = std::string(300, 'x');
    List()->OnEdited(List(), Node("Mail"), text);
    EXPECT_EQ(P.Desktop.Shown.back().Text, "項目名の長さは半角で256文字までです。");
    EXPECT_EQ(Root()->GetFirstChild()->Item(1)->Text(), std::string(256, 'x'));
    // While the box is open the editing keys belong to it; a cancel gives them back when idle.
    ASSERT_TRUE(List()->EditNode(Node("Report")));
    EXPECT_TRUE(Action("ActionItemDelete")->shortcut().isEmpty());
    EXPECT_TRUE(Action("ActionEditUndo")->shortcut().isEmpty());
    auto* box = List()->findChild<QLineEdit*>();
    ASSERT_TRUE(box);
    QTest::keyClick(box, Qt::Key_Escape);
    QApplication::processEvents();
    P.Commands->Update();
    EXPECT_EQ(Action("ActionItemDelete")->shortcut(), QKeySequence(Qt::Key_Delete));
}

// What the name box could not keep is said in the status bar; the name is what the box showed.
TEST_F(TEditing, ARenameSaysWhatCp932CouldNotHold) {
    ASSERT_TRUE(List()->EditNode(Node("Mail")));
    auto* box = List()->findChild<QLineEdit*>();
    ASSERT_TRUE(box);
    box->selectAll();
    box->insert(QString::fromUtf8("𠮷野家で昼食🍱"));
    QTest::keyClick(box, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(Cp932ToUtf8(Node("Work")->Item(1)->Text()), "吉野家で昼食");
    EXPECT_EQ(P.Hint->text().toStdString(), "次の文字を置き換えました：𠮷→吉　保存できない文字を除きました：🍱");
}

// A shift that would take a date past 9999/12/31 changes nothing and says why.
TEST_F(TEditing, AShiftPastTheLastDayIsRefusedWithAMessage) {
    P.Editor.ChangeItem(Node("Report"), [](TSchItem& i) { i.EndDate = D(9999, 12, 31); });
    P.Files.SetModified(false);
    Select(Node("Report"));
    Trigger("ActionDateEndP");
    EXPECT_EQ(Node("Report")->Data()->EndDate, D(9999, 12, 31));
    EXPECT_FALSE(Modified());
    ASSERT_FALSE(P.Desktop.Shown.empty());
    EXPECT_EQ(P.Desktop.Shown.back().Text,
              "日付を移動できません。\r\n扱える日付は 1899/12/31 から 9999/12/31 までです。");
}

TEST_F(TEditing, DeleteAsksShiftDeleteDoesNotAndTheRootIsNeverDeleted) {
    Select(Node("Mail"));
    P.Desktop.SetNextAnswer(mrNo);
    Trigger("ActionItemDelete");
    EXPECT_EQ(P.Desktop.Shown.back().Text, "項目「Mail」を削除してもよろしいですか？");
    EXPECT_TRUE(Node("Mail"));
    P.Desktop.SetNextAnswer(mrYes);
    Trigger("ActionItemDelete");
    EXPECT_FALSE(Node("Mail"));
    Select(Node("Report"));
    const size_t asked = P.Desktop.Shown.size();
    Trigger("ActionItemDeleteNoWarning");
    EXPECT_FALSE(Node("Report"));
    EXPECT_EQ(P.Desktop.Shown.size(), asked);
    Select(Root());
    EXPECT_FALSE(Action("ActionItemDelete")->isEnabled());
    EXPECT_FALSE(Action("ActionItemDeleteNoWarning")->isEnabled());
    EXPECT_FALSE(Action("ActionItemUp")->isEnabled());
    Trigger("ActionEditUndo");
    Trigger("ActionEditUndo");
    EXPECT_EQ(Node("Work")->Count(), 2);
    EXPECT_EQ(Node("Work")->Item(1)->Text(), "Mail");
}

TEST_F(TEditing, TheDoneMarkIsPressAndReleaseOnTheSameIcon) {
    TTreeNode* report = Node("Report");
    const QPoint icon = IconOf(report), other = IconOf(Node("Mail"));
    ASSERT_FALSE(icon.isNull());
    QTest::mousePress(List()->viewport(), Qt::LeftButton, {}, icon);
    QTest::mouseRelease(List()->viewport(), Qt::LeftButton, {}, other);
    EXPECT_FALSE(report->Data()->Checked);
    QTest::mousePress(List()->viewport(), Qt::LeftButton, {}, icon);
    QTest::mouseRelease(List()->viewport(), Qt::LeftButton, {}, icon);
    EXPECT_TRUE(report->Data()->Checked);
    P.Commands->Update();
    EXPECT_EQ(Action("ActionItemChkReverse")->text().toStdString(), "未完了に戻す(&R)");
    Select(report); // the command turns the mark over both ways
    Trigger("ActionItemChkReverse");
    EXPECT_FALSE(report->Data()->Checked);
    Trigger("ActionItemChkReverse");
    EXPECT_TRUE(report->Data()->Checked);
    QTest::mousePress(List()->viewport(), Qt::LeftButton, {}, IconOf(Node("Work"))); // folders have no mark
    QTest::mouseRelease(List()->viewport(), Qt::LeftButton, {}, IconOf(Node("Work")));
    EXPECT_TRUE(Node("Work")->Data()->Checked == false);
}

TEST_F(TEditing, MovesShiftsAndTheHolidayModeMenu) {
    Select(Node("Report"));
    EXPECT_FALSE(Action("ActionItemUp")->isEnabled()); // a first child
    EXPECT_TRUE(Action("ActionItemDown")->isEnabled());
    Trigger("ActionDateEndM");
    EXPECT_EQ(Node("Report")->Data()->BeginDate, D(2024, 5, 4));
    EXPECT_EQ(Node("Report")->Data()->EndDate, D(2024, 5, 4));
    Select(Node("Mail"));
    EXPECT_FALSE(Action("ActionDateP")->isEnabled()); // no dates to shift
    Trigger("ActionItemUp");
    EXPECT_EQ(Node("Work")->Item(0)->Text(), "Mail");
    EXPECT_EQ(List()->Selected(), Node("Mail"));

    Gestures.TreePopup()->popup(QPoint(0, 0)); // as a right click opens it
    emit List()->customContextMenuRequested(QPoint(5, 5));
    QMenu* modes = nullptr;
    for (QAction* a : Gestures.TreePopup()->actions())
        if (a->menu()) modes = a->menu();
    ASSERT_TRUE(modes);
    EXPECT_EQ(modes->title(), QStringLiteral("日数計算での休日の扱い(&N)"));
    QStringList captions;
    for (QAction* a : modes->actions())
        captions << a->text();
    EXPECT_EQ(captions.join(u'/'), QStringLiteral("休日設定に従う(&0)/常に半休を含める(&1)/すべての日付を含める(&2)"));
    Select(Node("Work"));
    emit List()->customContextMenuRequested(QPoint(5, 5));
    EXPECT_FALSE(modes->menuAction()->isEnabled()); // the submenu itself, not only its entries
    EXPECT_FALSE(modes->actions()[0]->isChecked());
    Select(Node("Report"));
    emit List()->customContextMenuRequested(QPoint(5, 5));
    EXPECT_TRUE(modes->menuAction()->isEnabled());
    EXPECT_TRUE(modes->actions()[0]->isChecked());
    modes->actions()[2]->trigger();
    EXPECT_EQ(Node("Report")->Data()->HolidayMode, 2);
    Gestures.TreePopup()->close();
    Trigger("ActionEditUndo");
    EXPECT_EQ(Node("Report")->Data()->HolidayMode, 0);
}

TEST_F(TEditing, UndoRightAfterOpeningChangesNothing) {
    const std::string before = ReadFile(P.Dir.File("plan.qlp"));
    EXPECT_FALSE(Action("ActionEditUndo")->isEnabled());
    Action("ActionEditUndo")->trigger();
    P.Editor.Undo();
    EXPECT_EQ(Root()->GetFirstChild()->Count(), 2);
    EXPECT_FALSE(Modified());
}

TEST_F(TEditing, SingleItemChangesNeverResetTheView) {
    QSignalSpy resets(&List()->Model(), &QAbstractItemModel::modelReset);
    Select(Node("Report"));
    for (const char* command :
         {"ActionDateP", "ActionItemChkReverse", "ActionItemDown", "ActionToDoToFolder", "ActionEditUndo",
          "ActionEditUndo", "ActionEditRedo", "ActionItemDeleteNoWarning", "ActionEditUndo"})
        Trigger(command);
    EXPECT_EQ(resets.count(), 0);
    EXPECT_TRUE(Node("Report"));
}

// A press on a name remembers its node for a drag; neither a delete of that node nor a later
// press elsewhere may leave the memory behind, or the next drag from the right of another row
// moves a freed node or the wrong one.
TEST(DragAfterDelete, TheDraggedRowIsTheOneThatMoves) {
    for (int run = 0; run < 3; ++run) {
        const bool deleted = run < 2, dropped = run != 1;
        TTreeParts e(kToday);
        e.P.Open(Tabs("D|2024|5|3\n{\nF|Work||+\n{\nI|Report|0|-|-|-|-|-|-|0|\nI|Mail|0|-|-|-|-|-|-|0|\n"
                      "I|Call|0|-|-|-|-|-|-|0|\n}\nF|Home||+\n}\n"));
        TTreeList* list = e.P.Tree;
        auto node = [&](const std::string& name) { return e.P.Node(name); };
        auto centre = [&](TTreeNode* n) { return list->TextRect(n).center(); };
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre(node("Mail")));
        if (deleted) {
            e.P.Trigger("ActionItemDeleteNoWarning");
            ASSERT_FALSE(node("Mail"));
        }
        // Pressed right of Call's name, dragged onto Home.
        const QRect row = list->visualRect(list->Model().IndexOf(node("Call")));
        const QPoint right(list->TextRect(node("Call")).right() + 40, row.center().y());
        ASSERT_EQ(list->GetHitTestInfoAt(right.x(), right.y()), unsigned(htOnRight));
        QTest::mousePress(list->viewport(), Qt::LeftButton, {}, right);
        const QPoint home = centre(node("Home"));
        bool accept = false;
        list->OnDragOver(list, list, home.x(), home.y(), accept);
        EXPECT_TRUE(accept);
        if (dropped) list->OnDragDrop(list, list, home.x(), home.y());
        list->OnEndDrag(list, dropped ? list : nullptr, home.x(), home.y());
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, right);
        ASSERT_TRUE(node("Call"));
        EXPECT_EQ(node("Call")->Parent(), dropped ? node("Home") : node("Work")) << run;
        EXPECT_EQ(node("Mail") != nullptr, !deleted);
        if (!deleted) {
            EXPECT_EQ(node("Mail")->Parent(), node("Work"));
        }
        if (!dropped) {
            EXPECT_EQ(list->Selected(), node("Call"));
        }
    }
}

// A property edit is a step of its own: undoing an earlier rename must not take the memo with it.
TEST_F(TEditing, APropertyEditIsUndoneOnItsOwn) {
    std::string text = "R2";
    List()->OnEdited(List(), Node("Report"), text);
    Select(Node("R2"));
    QTimer::singleShot(0, [] {
        auto* d = qobject_cast<TFormProperty*>(QApplication::activeModalWidget());
        d->MemoEdit->setPlainText("call back");
        d->OkButton->click();
    });
    Trigger("ActionItemProperty");
    ASSERT_EQ(Node("R2")->Data()->Memo, "call back");
    Trigger("ActionEditUndo");
    ASSERT_TRUE(Node("R2"));
    EXPECT_EQ(Node("R2")->Data()->Memo, "");
    Trigger("ActionEditUndo");
    EXPECT_TRUE(Node("Report"));
    EXPECT_FALSE(Modified());
    Trigger("ActionEditRedo");
    Trigger("ActionEditRedo");
    EXPECT_EQ(Node("R2")->Data()->Memo, "call back");
    // Confirmed without a change: modified, with nothing more to undo.
    P.Files.SetModified(false);
    QTimer::singleShot(0, [] { qobject_cast<TFormProperty*>(QApplication::activeModalWidget())->OkButton->click(); });
    Trigger("ActionItemProperty");
    EXPECT_TRUE(Modified());
    EXPECT_EQ(P.Statuses.back(), "変更あり 12:00:00");
}

// The expander of a folder closes it, which the file keeps (a change); the root's never closes.
TEST_F(TEditing, TheRootStaysOpenAFolderClosesAsAChange) {
    auto clickExpander = [this](TTreeNode* n) {
        const QRect item = List()->visualRect(List()->Model().IndexOf(n));
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, QPoint(item.left() - 6, item.center().y()));
    };
    clickExpander(Root());
    EXPECT_TRUE(Root()->Expanded());
    EXPECT_TRUE(List()->isExpanded(List()->Model().IndexOf(Root())));
    EXPECT_FALSE(Modified());
    clickExpander(Node("Work"));
    EXPECT_FALSE(Node("Work")->Expanded());
    EXPECT_TRUE(Modified());
}
