// SPDX-License-Identifier: GPL-3.0-or-later
// Recurring to-dos in the property dialog, and checked through the main window, its property
// dialog and the day window, saved and undone.
#include "base/Clock.h"
#include "base/Desktop.h"
#include "controls/RepeatMark.h"
#include "controls/TreeList.h"
#include "core/TestTree.h"
#include "dialogs/FormDaySchedule.h"
#include "dialogs/FormProperty.h"
#include "edit/Editor.h"
#include "main/FormMain.h"
#include "model/Document.h"
#include "model/ScheduleFormat.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QSpinBox>
#include <gtest/gtest.h>

using namespace quillo;
using namespace quillo::test;

namespace {
const TDate kToday = D(2024, 5, 3);
const std::string kWeekly = "\x8F\x54\x95\xF1"; // 週報
} // namespace

TEST(RepeatDialog, ShowsARuleKeepsOneItCannotReadAndMakesNewOnes) {
    TScriptedDesktop desktop;
    TTestSchedule s(kToday);
    s.Load("{\nI|w|0|2024|5|6|2024|5|6|0|%rb;+1w%re;\nI|odd|0|-|-|-|-|-|-|0|%rb;every 2nd%re;\n"
           "I|none|0|-|-|-|-|-|-|0|\nF|f|%rb;+1d%re;|+\n}");
    TFormProperty form(desktop, kToday);
    form.LoadItem(*s.Item("w"));
    EXPECT_EQ(form.RepeatKind->currentIndex(), TFormProperty::rkWeek);
    EXPECT_EQ(form.RepeatCount->value(), 1);
    EXPECT_FALSE(form.RepeatFromDone->isChecked());
    EXPECT_TRUE(form.RepeatLabel->text().contains(QString::fromUtf8("毎週")));
    form.RepeatKind->setCurrentIndex(TFormProperty::rkWorkday);
    form.RepeatCount->setValue(5);
    form.RepeatFromDone->setChecked(true);
    EXPECT_TRUE(form.RepeatLabel->text().contains(QString::fromUtf8("5稼働日ごと（完了日から）")));
    form.ApplyItem(*s.Item("w"));
    EXPECT_EQ(s.Item("w")->Repeat, ".+5b");

    form.LoadItem(*s.Item("odd"));
    EXPECT_EQ(form.RepeatKind->currentIndex(), TFormProperty::rkUnknown);
    EXPECT_FALSE(form.RepeatCount->isEnabled());
    EXPECT_TRUE(form.RepeatLabel->text().contains("every 2nd"));
    form.ApplyItem(*s.Item("odd"));
    EXPECT_EQ(s.Item("odd")->Repeat, "every 2nd");
    form.RepeatKind->setCurrentIndex(TFormProperty::rkNone);
    form.ApplyItem(*s.Item("odd"));
    EXPECT_TRUE(s.Item("odd")->Repeat.empty());

    form.LoadItem(*s.Item("none")); // the entry of the earlier item's text is gone
    EXPECT_EQ(form.RepeatKind->count(), TFormProperty::rkUnknown);
    EXPECT_EQ(form.RepeatKind->currentIndex(), TFormProperty::rkNone);
    form.ApplyItem(*s.Item("none"));
    EXPECT_TRUE(s.Item("none")->Repeat.empty());
    form.LoadItem(*s.Item("f")); // a folder has no date page and keeps what it read
    form.ApplyItem(*s.Item("f"));
    EXPECT_EQ(s.Item("f")->Repeat, "+1d");
}

// The path a property dialog takes once its window hands it to the editor: one step.
TEST(RepeatDialog, CheckingInTheDialogMakesTheNextOccurrence) {
    TScriptedDesktop desktop;
    TTestDocument t(kToday);
    t.Load("{\nI|w|0|2024|5|6|2024|5|7|0|%rb;+1w%re;\n}");
    TDocument& doc = t.Doc;
    TTreeNode* w = t.Find("w");
    TFormProperty form(desktop, kToday);
    form.LoadItem(*w->Data());
    form.DoneCheck->setChecked(true);
    form.RepeatCount->setValue(2);
    t.Editor.ChangeItem(w, [&](TSchItem& item) { form.ApplyItem(item); });
    ASSERT_EQ(doc.Root()->Count(), 2);
    const TSchItem* next = doc.Root()->Item(1)->Data();
    EXPECT_EQ(next->BeginDate, D(2024, 5, 20));
    EXPECT_EQ(next->EndDate, D(2024, 5, 21));
    EXPECT_EQ(next->Repeat, "+2w");
    EXPECT_TRUE(w->Data()->Repeat.empty());
    t.Editor.Undo();
    EXPECT_EQ(doc.Root()->Count(), 1);
    EXPECT_EQ(w->Data()->Repeat, "+1w");
}

namespace {
struct TRepeatWindow : ::testing::Test {
    TTempDir Dir;
    TScriptedDesktop Desktop;
    TFixedClock Clock{kToday + 0.5};
    std::unique_ptr<TFormMain> Main;
    TRepeatWindow() {
        Main = std::make_unique<TFormMain>(Desktop, Clock, "");
        WriteFile(Dir.File("plan.qlp"), Tabs("D|2024|5|3\nA-\n{\nI|" + kWeekly +
                                             "|0|2024|5|6|2024|5|6|0|%rb;+1w%re;\nI|last|0|9999|12|28|-|-|-|0|"
                                             "%rb;+1w%re;\n}\n"));
        Main->Run([&] { Main->Files().OpenNamed(Dir.File("plan.qlp")); });
    }
    TTreeNode* Top(int row) const { return Main->Document().Root()->Item(row); }
    void Check(TTreeNode* node) {
        Main->SelectNode(node);
        Main->FindAction("ActionItemChkReverse")->trigger();
    }
    // The item lines of the file as saved.
    std::string Saved() {
        Main->Run([&] { Main->Files().FileSave(); });
        const std::string text = ReadFile(Dir.File("plan.qlp"));
        const size_t from = text.find("{\r\n");
        return text.substr(from, text.find("}\r\n\r\n") - from);
    }
};

const std::string kChecked = "{\r\nI\t" + kWeekly + "\t1\t2024\t5\t6\t2024\t5\t6\t0\t\r\nI\t" + kWeekly +
                             "\t0\t2024\t5\t13\t2024\t5\t13\t0\t%rb;+1w%re;\r\nI\tlast\t0\t9999\t12\t28\t-\t-\t-\t0\t"
                             "%rb;+1w%re;\r\n";
const std::string kUnchecked =
    "{\r\nI\t" + kWeekly +
    "\t0\t2024\t5\t6\t2024\t5\t6\t0\t%rb;+1w%re;\r\nI\tlast\t0\t9999\t12\t28\t-\t-\t-\t0\t%rb;+1w%re;\r\n";
} // namespace

TEST_F(TRepeatWindow, SpaceChecksSavesAndCtrlZTakesTheNextOneBack) {
    Check(Top(0));
    EXPECT_EQ(Saved(), kChecked);
    Main->FindAction("ActionEditUndo")->trigger();
    EXPECT_EQ(Saved(), kUnchecked);
    EXPECT_FALSE(Top(0)->Data()->Checked);

    // Past the last date a file holds: an error box, and nothing done.
    Check(Top(1));
    ASSERT_FALSE(Desktop.Shown.empty());
    EXPECT_EQ(Desktop.Shown.back().Type, mtError);
    EXPECT_NE(Desktop.Shown.back().Text.find("完了にできません"), std::string::npos);
    EXPECT_FALSE(Top(1)->Data()->Checked);
    EXPECT_EQ(Saved(), kUnchecked);
}

TEST_F(TRepeatWindow, TheDayWindowChecksThroughTheSameRule) {
    TFormDaySchedule day(*Main);
    day.Build(D(2024, 5, 6));
    Main->SelectNode(Top(0));
    for (TTreeNode* n = day.TreeList()->Items().GetFirstNode(); n; n = n->GetNext())
        if (n->Data() == Top(0)->Data()) day.TreeList()->SetSelected(n);
    day.FindAction("ActionItemChkReverse")->trigger();
    EXPECT_EQ(Saved(), kChecked);
}

TEST(RepeatMark, DrawnAfterTheMemoAndLinkMarksOnlyForARule) {
    TTestSchedule s(kToday);
    s.Load("{\nI|r|0|-|-|-|-|-|-|0|%rb;+1w%re;\nI|odd|0|-|-|-|-|-|-|0|%rb;x%re;\nI|plain|0|-|-|-|-|-|-|0|\n}");
    auto painted = [&](const char* name) {
        QImage image(64, 16, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter p(&image);
        PaintRepeatMark(&p, QRect(0, 0, 64, 16), *s.Item(name));
        p.end();
        int left = 64, right = -1;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 64; ++x)
                if (qAlpha(image.pixel(x, y))) left = std::min(left, x), right = std::max(right, x);
        return std::make_pair(left, right);
    };
    const auto [left, right] = painted("r");
    EXPECT_GE(left, kRepeatMarkLeft);
    EXPECT_LT(right, kRepeatMarkLeft + kRepeatMarkWidth);
    EXPECT_EQ(painted("plain").second, -1);
    EXPECT_TRUE(OnRepeatMark(kRepeatMarkLeft + 3, *s.Item("odd")));
    EXPECT_FALSE(OnRepeatMark(kRepeatMarkLeft + 3, *s.Item("plain")));
    EXPECT_EQ(RepeatMarkHint(*s.Item("r")).substr(0, RepeatMarkHint(*s.Item("r")).find('|')), "繰り返し：毎週");
    EXPECT_TRUE(RepeatMarkHint(*s.Item("plain")).empty());
}
