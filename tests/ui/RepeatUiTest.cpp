// SPDX-License-Identifier: GPL-3.0-or-later
// Recurring to-dos in the property dialog, and checked through the main window, its property
// dialog and the day window, saved and undone.
#include "base/Clock.h"
#include "base/Desktop.h"
#include "base/StrUtil.h"
#include "controls/TreeList.h"
#include "core/TestTree.h"
#include "dialogs/FormDaySchedule.h"
#include "dialogs/FormProperty.h"
#include "main/FormMain.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSpinBox>
#include <gtest/gtest.h>

using namespace quillo;
using namespace quillo::test;

namespace {
const TDate kToday = D(2024, 5, 3);
const std::string kWeekly = "\x8F\x54\x95\xF1"; // 週報
} // namespace

// The dialog shows a rule, keeps one it cannot read until another is chosen, and what it applies
// through the editor, as its window does, checks with the new rule in one step.
TEST(RepeatDialog, ShowsKeepsAndChecksWithTheRuleChosen) {
    TScriptedDesktop desktop;
    TTestDocument t(kToday);
    t.Load("{\nI|w|0|2024|5|6|2024|5|7|0|%rb;+1w%re;\nI|odd|0|-|-|-|-|-|-|0|%rb;every 2nd%re;\n"
           "F|f|%rb;+1d%re;|+\n}");
    TFormProperty form(desktop, kToday);
    form.LoadItem(*t.Find("odd")->Data());
    EXPECT_EQ(form.RepeatKind->currentIndex(), TFormProperty::rkUnknown);
    EXPECT_FALSE(form.RepeatCount->isEnabled());
    EXPECT_TRUE(form.RepeatLabel->text().contains("every 2nd"));
    form.ApplyItem(*t.Find("odd")->Data());
    EXPECT_EQ(t.Find("odd")->Data()->Repeat, "every 2nd");
    form.RepeatKind->setCurrentIndex(TFormProperty::rkNone);
    form.ApplyItem(*t.Find("odd")->Data());
    EXPECT_TRUE(t.Find("odd")->Data()->Repeat.empty());
    form.LoadItem(*t.Find("f")->Data()); // a folder has no date page and keeps what it read
    form.ApplyItem(*t.Find("f")->Data());
    EXPECT_EQ(t.Find("f")->Data()->Repeat, "+1d");

    TTreeNode* w = t.Find("w");
    form.LoadItem(*w->Data());
    EXPECT_EQ(form.RepeatKind->count(), TFormProperty::rkUnknown); // no entry left from "odd"
    EXPECT_EQ(form.RepeatKind->currentIndex(), TFormProperty::rkWeek);
    EXPECT_TRUE(form.RepeatLabel->text().contains(QString::fromUtf8("毎週")));
    form.RepeatKind->setCurrentIndex(TFormProperty::rkWorkday);
    form.RepeatCount->setValue(5);
    form.RepeatFromDone->setChecked(true);
    EXPECT_TRUE(form.RepeatLabel->text().contains(QString::fromUtf8("5稼働日ごと（完了日から）")));
    form.DoneCheck->setChecked(true);
    t.Editor.ChangeItem(w, [&](TSchItem& item) { form.ApplyItem(item); });
    const TSchItem* next = t.Find("w", 1)->Data();
    EXPECT_EQ(next->BeginDate, D(2024, 5, 10)); // five working days after today, two days long
    EXPECT_EQ(next->EndDate, D(2024, 5, 13));
    EXPECT_EQ(next->Repeat, ".+5b");
    EXPECT_TRUE(w->Data()->Repeat.empty());
    t.Editor.Undo();
    EXPECT_EQ(w->Data()->Repeat, "+1w");
    EXPECT_FALSE(t.Find("w", 1));
}

namespace {
struct TRepeatWindow : ::testing::Test {
    TTempDir Dir;
    TScriptedDesktop Desktop;
    TFixedClock Clock{kToday + 0.5};
    std::unique_ptr<TFormMain> Main = std::make_unique<TFormMain>(Desktop, Clock, "");
    const std::string Last = "I|last|0|9999|12|28|-|-|-|0|%rb;+1w%re;\n";
    TRepeatWindow() {
        WriteFile(Dir.File("plan.qlp"),
                  Tabs("D|2024|5|3\nA-\n{\nI|" + kWeekly + "|0|2024|5|6|2024|5|6|0|%rb;+1w%re;\n" + Last + "}\n"));
        Main->Run([&] { Main->Shared().Files.OpenNamed(Dir.File("plan.qlp")); });
    }
    TTreeNode* Top(int row) const { return Main->Shared().Document.Root()->Item(row); }
    // The item lines of the file as saved, "|" for a tab and "\n" for CR LF.
    std::string Saved() {
        Main->Run([&] { Main->Shared().Files.FileSave(); });
        const std::string text = ReplaceAll(ReplaceAll(ReadFile(Dir.File("plan.qlp")), "\t", "|"), "\r\n", "\n");
        return text.substr(text.find("{\n") + 2, text.find(Last) - text.find("{\n") - 2);
    }
};
} // namespace

// Space in the main window, saved, Ctrl+Z; then the day window's check; and a check that would go
// past the last date told in an error box.
TEST_F(TRepeatWindow, EveryCheckMakesTheNextOccurrenceAndCtrlZTakesItBack) {
    const std::string unchecked = "I|" + kWeekly + "|0|2024|5|6|2024|5|6|0|%rb;+1w%re;\n";
    const std::string checked =
        "I|" + kWeekly + "|1|2024|5|6|2024|5|6|0|\nI|" + kWeekly + "|0|2024|5|13|2024|5|13|0|%rb;+1w%re;\n";
    Main->SelectNode(Top(0));
    Main->FindAction("ActionItemChkReverse")->trigger();
    EXPECT_EQ(Saved(), checked);
    Main->FindAction("ActionEditUndo")->trigger();
    EXPECT_EQ(Saved(), unchecked);

    TFormDaySchedule day(*Main);
    day.Build(D(2024, 5, 6));
    Main->SelectNode(Top(0));
    for (TTreeNode* n = day.TreeList()->Items().GetFirstNode(); n; n = n->GetNext())
        if (n->Data() == Top(0)->Data()) day.TreeList()->SetSelected(n);
    day.FindAction("ActionItemChkReverse")->trigger();
    EXPECT_EQ(Saved(), checked);

    Main->SelectNode(Top(2));
    Main->FindAction("ActionItemChkReverse")->trigger();
    ASSERT_FALSE(Desktop.Shown.empty());
    EXPECT_EQ(Desktop.Shown.back().Type, mtError);
    EXPECT_NE(Desktop.Shown.back().Text.find("完了にできません"), std::string::npos);
    EXPECT_FALSE(Top(2)->Data()->Checked);
}
