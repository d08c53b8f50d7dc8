// SPDX-License-Identifier: GPL-3.0-or-later
// The editing commands in the real window, offscreen, with scripted answers.
#include "base/Clock.h"
#include "base/Cp932.h"
#include "controls/TreeList.h"
#include "core/TestTree.h"
#include "dialogs/FormProperty.h"
#include "main/FormMain.h"
#include "model/SchItem.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace quillo;
using namespace quillo::test;

namespace {
const TDate kToday = D(2024, 5, 3);

struct TEditing : ::testing::Test {
    TTempDir Dir;
    TScriptedDesktop Desktop;
    TFixedClock Clock{kToday + 0.5};
    std::unique_ptr<TFormMain> Form;
    TEditing() {
        Form = std::make_unique<TFormMain>(Desktop, Clock, "");
        Form->resize(900, 500);
        Form->show();
        WriteFile(
            Dir.File("plan.qlp"),
            Tabs("D|2024|5|3\nA-\n{\nF|Work||+\n{\nI|Report|0|2024|5|5|2024|5|5|0|\nI|Mail|0|-|-|-|-|-|-|0|\n}\n}\n"));
        Form->Run([&] { Form->Files().OpenNamed(Dir.File("plan.qlp")); });
    }
    TTreeList* List() const { return Form->TreeList(); }
    TTreeNode* Root() const { return Form->Document().Root(); }
    TTreeNode* Node(const std::string& name) const {
        for (TTreeNode* n = Root(); n; n = n->GetNext())
            if (n->Text() == name) return n;
        return nullptr;
    }
    void Select(TTreeNode* n) {
        List()->SetSelected(n);
        Form->UpdateActions();
    }
    void Trigger(const char* name) {
        Form->UpdateActions();
        Form->FindAction(name)->trigger();
        Form->UpdateActions();
    }
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
    const std::string before = ReadFile(Dir.File("plan.qlp"));
    QTimer::singleShot(0,
                       [] { qobject_cast<TFormProperty*>(QApplication::activeModalWidget())->CancelButton->click(); });
    Trigger("ActionItemToDoNew");
    EXPECT_EQ(Node("Work")->Count(), 2);
    EXPECT_FALSE(Form->Document().Modified);
    EXPECT_FALSE(Form->FindAction("ActionEditUndo")->isEnabled());
    EXPECT_EQ(List()->Selected(), Node("Report"));

    Form->SetSelectedDate(D(2024, 5, 10)); // a click on a day column
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
    EXPECT_TRUE(Form->Document().Modified);
    EXPECT_EQ(List()->Selected(), call);
    Trigger("ActionEditUndo"); // back to the file as saved: not modified
    EXPECT_FALSE(Node("Call"));
    EXPECT_FALSE(Form->Document().Modified);
    Trigger("ActionEditRedo");
    EXPECT_TRUE(Node("Call"));
    EXPECT_TRUE(Form->Document().Modified);
}

TEST_F(TEditing, RenamesFromTheBoxWithTheirRules) {
    std::string text = "new name";
    List()->OnEdited(List(), Root(), text); // the root keeps the file's name
    ASSERT_EQ(Desktop.Shown.size(), 1u);
    EXPECT_EQ(Desktop.Shown[0].Text, "予定表の名前は直接編集できません。\r\n（常にファイル名と同一です）");
    EXPECT_FALSE(Form->Document().Modified);
    text = "Mail";
    List()->OnEdited(List(), Node("Mail"), text); // unchanged, still a change
    EXPECT_TRUE(Form->Document().Modified);
    text = std::string(300, 'x');
    List()->OnEdited(List(), Node("Mail"), text);
    EXPECT_EQ(Desktop.Shown.back().Text, "項目名の長さは半角で256文字までです。");
    EXPECT_EQ(Root()->GetFirstChild()->Item(1)->Text(), std::string(256, 'x'));
    // While the box is open the editing keys belong to it; a cancel gives them back when idle.
    ASSERT_TRUE(List()->EditNode(Node("Report")));
    EXPECT_TRUE(Form->FindAction("ActionItemDelete")->shortcut().isEmpty());
    EXPECT_TRUE(Form->FindAction("ActionEditUndo")->shortcut().isEmpty());
    auto* box = List()->findChild<QLineEdit*>();
    ASSERT_TRUE(box);
    QTest::keyClick(box, Qt::Key_Escape);
    QApplication::processEvents();
    Form->UpdateActions();
    EXPECT_EQ(Form->FindAction("ActionItemDelete")->shortcut(), QKeySequence(Qt::Key_Delete));
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
    EXPECT_EQ(Form->StatusPanel(0)->text().toStdString(),
              "次の文字を置き換えました：𠮷→吉　保存できない文字を除きました：🍱");
}

// A shift that would take a date past 9999/12/31 changes nothing and says why.
TEST_F(TEditing, AShiftPastTheLastDayIsRefusedWithAMessage) {
    Form->Run([&] { Form->Editor().ChangeItem(Node("Report"), [](TSchItem& i) { i.EndDate = D(9999, 12, 31); }); });
    Form->Files().SetModified(false);
    Select(Node("Report"));
    Trigger("ActionDateEndP");
    EXPECT_EQ(Node("Report")->Data()->EndDate, D(9999, 12, 31));
    EXPECT_FALSE(Form->Document().Modified);
    ASSERT_FALSE(Desktop.Shown.empty());
    EXPECT_EQ(Desktop.Shown.back().Text,
              "日付を移動できません。\r\n扱える日付は 1899/12/31 から 9999/12/31 までです。");
}

TEST_F(TEditing, DeleteAsksShiftDeleteDoesNotAndTheRootIsNeverDeleted) {
    Select(Node("Mail"));
    Desktop.SetNextAnswer(mrNo);
    Trigger("ActionItemDelete");
    EXPECT_EQ(Desktop.Shown.back().Text, "項目「Mail」を削除してもよろしいですか？");
    EXPECT_TRUE(Node("Mail"));
    Desktop.SetNextAnswer(mrYes);
    Trigger("ActionItemDelete");
    EXPECT_FALSE(Node("Mail"));
    Select(Node("Report"));
    const size_t asked = Desktop.Shown.size();
    Trigger("ActionItemDeleteNoWarning");
    EXPECT_FALSE(Node("Report"));
    EXPECT_EQ(Desktop.Shown.size(), asked);
    Select(Root());
    EXPECT_FALSE(Form->FindAction("ActionItemDelete")->isEnabled());
    EXPECT_FALSE(Form->FindAction("ActionItemDeleteNoWarning")->isEnabled());
    EXPECT_FALSE(Form->FindAction("ActionItemUp")->isEnabled());
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
    Form->UpdateActions();
    EXPECT_EQ(Form->FindAction("ActionItemChkReverse")->text().toStdString(), "未完了に戻す(&R)");
    QTest::mousePress(List()->viewport(), Qt::LeftButton, {}, IconOf(Node("Work"))); // folders have no mark
    QTest::mouseRelease(List()->viewport(), Qt::LeftButton, {}, IconOf(Node("Work")));
    EXPECT_TRUE(Node("Work")->Data()->Checked == false);
}

TEST_F(TEditing, MovesShiftsAndTheHolidayModeMenu) {
    Select(Node("Report"));
    EXPECT_FALSE(Form->FindAction("ActionItemUp")->isEnabled()); // a first child
    EXPECT_TRUE(Form->FindAction("ActionItemDown")->isEnabled());
    Trigger("ActionDateEndM");
    EXPECT_EQ(Node("Report")->Data()->BeginDate, D(2024, 5, 4));
    EXPECT_EQ(Node("Report")->Data()->EndDate, D(2024, 5, 4));
    Select(Node("Mail"));
    EXPECT_FALSE(Form->FindAction("ActionDateP")->isEnabled()); // no dates to shift
    Trigger("ActionItemUp");
    EXPECT_EQ(Node("Work")->Item(0)->Text(), "Mail");
    EXPECT_EQ(List()->Selected(), Node("Mail"));

    Form->TreePopup()->popup(QPoint(0, 0)); // as a right click opens it
    emit List()->customContextMenuRequested(QPoint(5, 5));
    QMenu* modes = nullptr;
    for (QAction* a : Form->TreePopup()->actions())
        if (a->menu()) modes = a->menu();
    ASSERT_TRUE(modes);
    Select(Node("Work"));
    emit List()->customContextMenuRequested(QPoint(5, 5));
    EXPECT_FALSE(modes->actions()[0]->isEnabled());
    Select(Node("Report"));
    emit List()->customContextMenuRequested(QPoint(5, 5));
    EXPECT_TRUE(modes->actions()[0]->isChecked());
    modes->actions()[2]->trigger();
    EXPECT_EQ(Node("Report")->Data()->HolidayMode, 2);
    Form->TreePopup()->close();
    Trigger("ActionEditUndo");
    EXPECT_EQ(Node("Report")->Data()->HolidayMode, 0);
}

TEST_F(TEditing, UndoRightAfterOpeningChangesNothing) {
    const std::string before = ReadFile(Dir.File("plan.qlp"));
    EXPECT_FALSE(Form->FindAction("ActionEditUndo")->isEnabled());
    Form->FindAction("ActionEditUndo")->trigger();
    Form->Editor().Undo();
    EXPECT_EQ(Root()->GetFirstChild()->Count(), 2);
    EXPECT_FALSE(Form->Document().Modified);
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
