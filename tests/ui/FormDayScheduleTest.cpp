// SPDX-License-Identifier: GPL-3.0-or-later
// The day schedule window over a real main window, offscreen.
#include "dialogs/FormDaySchedule.h"
#include "base/Clock.h"
#include "base/Cp932.h"
#include "base/StrUtil.h"
#include "cli/CliRunner.h"
#include "controls/ExHeader.h"
#include "controls/TreeList.h"
#include "core/TestTree.h"
#include "main/FormMain.h"
#include "model/SchItem.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <sstream>

using namespace quillo;
using namespace quillo::test;

namespace {
const TDate kToday = D(2024, 5, 3); // Friday

struct TDayWindow : ::testing::Test {
    TTempDir Dir;
    TScriptedDesktop Desktop;
    TFixedClock Clock{kToday + 0.5};
    std::unique_ptr<TFormMain> Main;
    std::unique_ptr<TFormDaySchedule> Day;
    TDayWindow() {
        Main = std::make_unique<TFormMain>(Desktop, Clock, "");
        WriteFile(Dir.File("plan.qlp"), Tabs("D|2024|5|3\n{\nF|Work||+\n{\n"
                                             "I|late|0|2024|4|29|2024|5|1|0|\n"
                                             "I|always|0|-|-|-|-|-|-|0|\n"
                                             "I|later|0|2024|5|8|2024|5|10|0|\n"
                                             "I|done|1|2024|5|3|2024|5|3|0|\n}\n}\n"));
        Main->Run([&] { Main->Shared().Files.OpenNamed(Dir.File("plan.qlp")); });
        Day = std::make_unique<TFormDaySchedule>(*Main);
        Day->resize(600, 400);
    }
    // Every row as "category/name/end/rest", the categories' own lines as "category".
    std::vector<std::string> Rows() const {
        std::vector<std::string> out;
        for (TTreeNode* n = Day->TreeList()->Items().GetFirstNode(); n; n = n->GetNext()) {
            if (!n->Parent()) continue;
            if (!n->Data()) {
                out.push_back(Cp932ToUtf8(n->Text()));
                continue;
            }
            out.push_back(Cp932ToUtf8(n->Parent()->Text()) + "/" + Cp932ToUtf8(n->Text()) + "/" +
                          n->SubItems()->Text(0) + "/" + n->SubItems()->Text(2));
        }
        return out;
    }
    TTreeNode* Row(const std::string& name) const {
        for (TTreeNode* n = Day->TreeList()->Items().GetFirstNode(); n; n = n->GetNext())
            if (n->Data() && n->Text() == name) return n;
        return nullptr;
    }
    void Press(TTreeNode* row) {
        const QRect r = Day->TreeList()->visualRect(Day->TreeList()->Model().IndexOf(row));
        QTest::mouseClick(Day->TreeList()->viewport(), Qt::LeftButton, {}, QPoint(r.left() + 60, r.center().y()));
    }
};
} // namespace

TEST_F(TDayWindow, CategoriesTextsAndTheDaysAroundToday) {
    Day->Build(kToday);
    EXPECT_EQ(Day->windowTitle().toStdString(), "今日 - 2024/05/03(金)の予定");
    EXPECT_EQ(Rows(), (std::vector<std::string>{"遅延項目", "遅延項目/late/2024/05/01(水)/遅延", "現在進行中の項目",
                                                "現在進行中の項目/always/-/-", "今日を期間に含む完了項目",
                                                "今日を期間に含む完了項目/done/2024/05/03(金)/完了"}));
    Day->FindAction("ActionNext")->trigger();
    EXPECT_EQ(Day->windowTitle().toStdString().substr(0, 9), "明日 - ");
    EXPECT_EQ(Day->ShownDate(), kToday + 1);
    EXPECT_EQ(Main->SelectedDate(), kToday + 1); // the main chart marks the shown day
    EXPECT_EQ(Rows(),
              (std::vector<std::string>{"現在進行中の項目", "現在進行中の項目/always/-/-"})); // not late after today
    Day->Step(4); // Wednesday 8 May, five days after today: the waiting item counts from that day
    const std::vector<std::string> rows = Rows(); // one list: begin and end of the same vector
    EXPECT_NE(std::find(rows.begin(), rows.end(), "5日後を期間に含む未完了項目/later/2024/05/10(金)/3日残"), rows.end())
        << ::testing::PrintToString(rows);
    Day->Build(D(2024, 4, 1)); // a day before any period but the undated one
    EXPECT_EQ(Rows(), (std::vector<std::string>{"現在進行中の項目", "現在進行中の項目/always/-/-"}));
}

TEST_F(TDayWindow, AnEmptyDayAndTheTerminalProgramAgree) {
    WriteFile(Dir.File("empty.qlp"), "");
    Main->Run([&] { Main->Shared().Files.OpenNamed(Dir.File("empty.qlp")); });
    Day->Build(kToday);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"この日が期間内の予定および遅延項目はありません"}));

    Main->Run([&] { Main->Shared().Files.OpenNamed(Dir.File("plan.qlp")); });
    for (TDate d : {kToday - 3, kToday, kToday + 5}) {
        Day->Build(d);
        std::ostringstream out, err;
        const std::string date = FormatDateWithDay(d).substr(0, 10);
        RunCli({"agenda", Dir.File("plan.qlp"), "--tsv", "--today", "2024-05-03", "--config-dir", Dir.Path(), "--date",
                date.substr(0, 4) + "-" + date.substr(5, 2) + "-" + date.substr(8, 2)},
               out, err, Clock);
        std::vector<std::string> cli;
        std::istringstream lines(out.str());
        std::string line;
        std::getline(lines, line);
        EXPECT_EQ(line, Day->windowTitle().toStdString());
        while (std::getline(lines, line)) {
            std::vector<std::string> f;
            for (auto p : SplitFields(line))
                f.emplace_back(p);
            cli.push_back(f[0] + "/" + f[2] + "/" + f[3] + "/" + f[4]);
        }
        std::vector<std::string> rows;
        for (const std::string& r : Rows())
            if (r.find('/') != std::string::npos) rows.push_back(r);
        EXPECT_EQ(rows, cli) << date;
    }
}

TEST_F(TDayWindow, CompletingADelayedItemAsksAndRowsSelectInTheMainTree) {
    Day->show();
    Day->Build(kToday);
    TSchItem* late = Row("late")->Data();
    Press(Row("late"));
    EXPECT_EQ(Main->SelectedItem(), late);
    EXPECT_EQ(Day->StatusBar()->text().toStdString(), "/Work/");
    Desktop.SetNextAnswer(mrNo);
    Day->FindAction("ActionItemChkReverse")->trigger();
    EXPECT_EQ(Desktop.Shown.back().Text, "遅延項目「late」を完了にしますか？");
    EXPECT_FALSE(late->Checked);
    Desktop.SetNextAnswer(mrYes);
    Day->FindAction("ActionItemChkReverse")->trigger();
    EXPECT_TRUE(late->Checked);
    EXPECT_FALSE(Row("late")); // done, and its period is over: no longer listed today
    EXPECT_TRUE(Main->Shared().Document.Modified());

    // A new to-do on the shown day, through the property dialog.
    Day->Step(2);
    QTimer::singleShot(0, [] {
        auto* d = QApplication::activeModalWidget();
        d->findChild<QLineEdit*>()->setText("fresh");
        QTest::keyClick(d, Qt::Key_Return);
    });
    Day->FindAction("ActionNewToDo")->trigger();
    ASSERT_TRUE(Row("fresh"));
    EXPECT_EQ(Row("fresh")->Data()->BeginDate, kToday + 2);
}

// The rows point at the main tree's items: when those go (the schedule closed from the tray while
// the day window is up, a delete), the rows go first and the day is listed anew.
TEST_F(TDayWindow, RowsNeverOutliveTheItemsTheyShow) {
    Day->show();
    Day->Build(kToday);
    ASSERT_TRUE(Row("late"));
    Press(Row("late"));
    Main->Shared().Files.FileClose();
    EXPECT_TRUE(Rows().empty());
    Day->TreeList()->viewport()->grab(); // paints nothing of the freed items
    QApplication::processEvents();
    EXPECT_EQ(Rows(), (std::vector<std::string>{"この日が期間内の予定および遅延項目はありません"}));
}

// The information column hints as the main window's does; the header's release repaints the rows.
TEST_F(TDayWindow, MarksHintWithTheHandAndTheHeaderRepaintsTheRows) {
    Day->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Day.get()));
    TSchItem* always = Main->Shared().Document.Root()->Item(0)->Item(1)->Data();
    always->Memo = "first\r\nsecond";
    always->Link = "https://example.org/";
    Day->Build(kToday);
    TTreeList* list = Day->TreeList();
    const TExSection* info = Day->Header()->Sections().Items(2);
    const int y = list->visualRect(list->Model().IndexOf(Row("always"))).center().y();
    const auto at = [&](int offset) { return QPoint(info->Left() + offset - list->horizontalScrollBar()->value(), y); };
    QTest::mouseMove(list->viewport(), at(4));
    EXPECT_EQ(list->toolTip().toStdString(), "メモの編集");
    EXPECT_EQ(Day->StatusBar()->text().toStdString(), "first second");
    EXPECT_EQ(list->viewport()->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseMove(list->viewport(), at(20));
    EXPECT_EQ(list->toolTip().toStdString(), "リンクを開く");
    EXPECT_EQ(Day->StatusBar()->text().toStdString(), "https://example.org/");
    QTest::mouseMove(list->viewport(), at(40)); // no rule, no mark
    EXPECT_EQ(list->toolTip().toStdString(), "");
    EXPECT_NE(list->viewport()->cursor().shape(), Qt::PointingHandCursor);

    struct TPaints : QObject {
        int Count = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            Count += e->type() == QEvent::Paint;
            return false;
        }
    } paints;
    QApplication::processEvents();
    list->viewport()->installEventFilter(&paints);
    QTest::mouseRelease(Day->Header()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::qWait(20);
    EXPECT_GT(paints.Count, 0);
    list->viewport()->removeEventFilter(&paints);
}
