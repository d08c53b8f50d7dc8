// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/Clock.h"
#include "controls/ExHeader.h"
#include "controls/TreeList.h"
#include "core/TestTree.h"
#include "main/FormMain.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

using namespace quillo;
using namespace quillo::test;

namespace {
const TDate kToday = D(2024, 5, 3); // Friday

// Chart from 26 April: today is column 7.
const char* const kSchedule = "D\t2024\t5\t3\r\nA-\r\n{\r\n"
                              "I\tprogress\t0\t2024\t4\t29\t2024\t5\t10\t0\t%mb;memo%09;line%me;\r\n"
                              "I\tlate\t0\t2024\t4\t29\t2024\t5\t1\t0\t%lb;http://x%le;\r\n"
                              "I\tfuture\t0\t2024\t5\t20\t2024\t5\t24\t0\t\r\n}\r\n";

struct TChartWindow : ::testing::Test {
    TTempDir Dir;
    TScriptedDesktop Desktop;
    TFixedClock Clock{kToday + 0.5};
    std::unique_ptr<TFormMain> Form;
    TChartWindow() {
        Form = std::make_unique<TFormMain>(Desktop, Clock, "");
        WriteFile(Dir.File("chart.qlp"), kSchedule);
        Form->resize(1400, 500);
        Form->show();
        Form->Run([&] { Form->Files().OpenNamed(Dir.File("chart.qlp")); });
        Form->SetSelectedDate(0); // no selected day, so today's own colours show
        QApplication::processEvents();
    }
    TExSection* Day(int i) const { return Form->Header()->Sections().Items(TFormMain::kFirstDaySection + i); }
    TTreeNode* Node(const std::string& name) const {
        for (TTreeNode* n = Form->Nodes().GetFirstNode(); n; n = n->GetNext())
            if (n->Text() == name) return n;
        return nullptr;
    }
    // The colour in the middle of a day cell of a row, away from marks.
    QColor Cell(const QImage& img, const std::string& name, int day) const {
        QRect row = Form->TreeList()->visualRect(Form->TreeList()->Model().IndexOf(Node(name)));
        return img.pixelColor(Day(day)->Left() + 2 - Form->TreeList()->horizontalScrollBar()->value(),
                              row.center().y());
    }
    QImage Grab() const {
        Form->TreeList()->SetSelected(nullptr);
        return Form->TreeList()->viewport()->grab().toImage();
    }
};
} // namespace

TEST_F(TChartWindow, DisplayOrderAndModes) {
    EXPECT_TRUE(Form->ChartMode());
    EXPECT_EQ(Form->Header()->Sections().Items(3)->Position(), 1);
    EXPECT_EQ(Form->Header()->Sections().Items(1)->Position(), -1);
    EXPECT_EQ(Day(0)->Position(), 2);
    EXPECT_EQ(Day(7)->Text, "▼");
    EXPECT_EQ(Day(8)->Text, "4");
    EXPECT_EQ(Day(0)->MinWidth(), 14);
    EXPECT_EQ(Day(0)->MaxWidth(), 50);
    Form->FindAction("ActionShowChart")->trigger();
    EXPECT_FALSE(Form->ChartMode());
    EXPECT_EQ(Form->FindAction("ActionShowChart")->text().toStdString(), "チャートで表示(&C)");
    EXPECT_EQ(TFormMain::ImageOf(Form->FindAction("ActionShowChart")), 17);
    EXPECT_EQ(Form->Header()->Sections().Items(1)->Position(), 2);
    EXPECT_EQ(Form->Header()->Sections().Items(2)->Position(), 3);
    EXPECT_EQ(Day(0)->Position(), -1);
    Form->UpdateActions();
    EXPECT_FALSE(Form->FindAction("ActionChartNext")->isEnabled()); // list mode disables navigation
    EXPECT_FALSE(Form->FindAction("ActionChartPrev1")->isEnabled());
    Form->FindAction("ActionShowChart")->trigger();
    Form->UpdateActions();
    EXPECT_TRUE(Form->FindAction("ActionChartNext1")->isEnabled());
}

TEST_F(TChartWindow, BlockColoursAndBackgrounds) {
    QImage img = Grab();
    EXPECT_EQ(Cell(img, "progress", 3), QColor(102, 255, 102)); // Monday 29 April, in progress
    EXPECT_EQ(Cell(img, "progress", 8), QColor(204, 204, 204)); // Saturday inside the period: rest
    EXPECT_EQ(Cell(img, "late", 8), QColor(255, 204, 204));     // after today, a Saturday: half-holiday pink
    EXPECT_EQ(Cell(img, "late", 6), QColor(255, 0, 0));         // overdue up to today
    EXPECT_EQ(Cell(img, "late", 5), QColor(255, 102, 102));     // its own period in warning
    EXPECT_EQ(Cell(img, "future", 9), QColor(255, 153, 153));   // Sunday outside any period: holiday pink
    EXPECT_EQ(Cell(img, "future", 10), QColor(255, 255, 255));  // Monday (2): the white stripe
    EXPECT_EQ(Cell(img, "future", 11), QColor(238, 238, 238));  // Tuesday (3): the grey stripe
    EXPECT_EQ(Cell(img, "future", 24), QColor(102, 102, 255));  // waiting
    // The frame of a block is its darker colour.
    QRect row = Form->TreeList()->visualRect(Form->TreeList()->Model().IndexOf(Node("progress")));
    EXPECT_EQ(img.pixelColor(Day(3)->Left() - Form->TreeList()->horizontalScrollBar()->value(), row.center().y()),
              QColor(0, 128, 0));
}

TEST_F(TChartWindow, TodayMarks) {
    QImage img = Grab();
    QRect row = Form->TreeList()->visualRect(Form->TreeList()->Model().IndexOf(Node("progress")));
    const int cx = Day(7)->Left() + Day(7)->Width() / 2 - Form->TreeList()->horizontalScrollBar()->value();
    // The mark covers the centre of the cell, so it is neither the plain fill nor the background.
    EXPECT_NE(img.pixelColor(cx, row.center().y()), QColor(102, 255, 102));
    EXPECT_EQ(Cell(img, "progress", 7), QColor(102, 255, 102));
    EXPECT_EQ(Cell(img, "late", 7), QColor(255, 0, 0));
}

TEST_F(TChartWindow, HeaderDays) {
    QImage img = Form->Header()->viewport()->grab().toImage();
    auto at = [&](int day) {
        return img.pixelColor(Day(day)->Left() + 1 - Form->Header()->offset(), Form->Header()->height() - 2);
    };
    EXPECT_EQ(at(7), QColor(255, 255, 153)); // today
    EXPECT_EQ(at(6), QColor(128, 128, 128)); // past
    Form->SetSelectedDate(kToday + 2);
    img = Form->Header()->viewport()->grab().toImage();
    EXPECT_EQ(at(9), Form->Header()->palette().color(QPalette::Highlight));
}

TEST_F(TChartWindow, NavigationShiftsTheBlocks) {
    QImage before = Grab();
    Form->FindAction("ActionChartNext")->trigger();
    EXPECT_EQ(Form->Chart().ChartDate(), kToday - 7 + 7);
    QImage after = Grab();
    EXPECT_EQ(Cell(after, "future", 17), Cell(before, "future", 24));
    EXPECT_EQ(Node("future")->Data()->GetDayCell(17), ssWaiting);
    EXPECT_EQ(Day(0)->Text, "▼");
    Form->FindAction("ActionChartPrev1")->trigger();
    EXPECT_EQ(Form->Chart().ChartDate(), kToday - 1);
}

TEST_F(TChartWindow, DayWidthDragAppliesToAllDays) {
    TExHeader* h = Form->Header();
    const int x = Day(2)->Right() - h->offset();
    QTest::mousePress(h->viewport(), Qt::LeftButton, {}, QPoint(x, 5));
    QTest::mouseMove(h->viewport(), QPoint(x + 14, 5));
    QTest::mouseRelease(h->viewport(), Qt::LeftButton, {}, QPoint(x + 14, 5));
    for (int i = 0; i < 60; ++i)
        ASSERT_EQ(Day(i)->Width(), 30);
    QTest::mousePress(h->viewport(), Qt::LeftButton, {}, QPoint(Day(0)->Right() - h->offset(), 5));
    QTest::mouseMove(h->viewport(), QPoint(Day(0)->Right() - h->offset() + 100, 5));
    QTest::mouseRelease(h->viewport(), Qt::LeftButton, {}, QPoint(Day(0)->Right() - h->offset() + 100, 5));
    EXPECT_EQ(Day(59)->Width(), 50);
}

TEST_F(TChartWindow, HeaderHintsAndClicks) {
    TExHeader* h = Form->Header();
    auto hover = [&](int day) {
        QTest::mouseMove(h->viewport(), QPoint(Day(day)->Left() + Day(day)->Width() / 2 - h->offset(), 5));
        return h->toolTip().toStdString();
    };
    EXPECT_EQ(hover(5), "一昨日 - 2024/05/01(水)");
    EXPECT_EQ(hover(12), "5日後 - 2024/05/08(水)");
    EXPECT_EQ(Form->StatusPanel(0)->text().toStdString(),
              "ヘッダを左クリックすると、2024/05/08(水)の予定を表示します。右クリックで休日の設定を行えます。");
    QTest::mouseMove(h->viewport(), QPoint(10, 5));
    EXPECT_EQ(h->toolTip().toStdString(), "");
    std::string shown;
    QTimer::singleShot(0, [&] { // a click on a day opens that day's schedule
        QWidget* day = QApplication::activeModalWidget();
        shown = day ? day->windowTitle().toStdString() : "";
        if (day) day->close();
    });
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, QPoint(Day(12)->Left() + 8 - h->offset(), 5));
    EXPECT_EQ(Form->SelectedDate(), D(2024, 5, 8));
    EXPECT_EQ(shown, "5日後 - 2024/05/08(水)の予定");
}

TEST_F(TChartWindow, HolidayPopup) {
    TExHeader* h = Form->Header();
    auto* popup = qobject_cast<QMenu*>(Form->HeaderPopupItem(0)->parent());
    ASSERT_TRUE(popup);
    emit h->customContextMenuRequested(QPoint(10, 5)); // over the name column: no day to set
    EXPECT_FALSE(popup->isVisible());
    emit h->customContextMenuRequested(QPoint(Day(10)->Left() + 8 - h->offset(), 5));
    EXPECT_TRUE(popup->isVisible());
    popup->close();
    QTest::mouseMove(h->viewport(), QPoint(Day(10)->Left() + 8 - h->offset(), 5)); // Monday 6 May
    Form->UpdateHeaderPopup();
    EXPECT_EQ(Form->HeaderPopupItem(2)->text().toStdString(), "2024/05/06(月)を休日に設定");
    EXPECT_TRUE(Form->HeaderPopupItem(0)->isChecked());
    Form->HeaderPopupChoose(2);
    EXPECT_EQ(Form->Calendar().HolidayDates(), (std::vector<std::string>{"2024\t5\t6\t2"}));
    EXPECT_EQ(Node("progress")->Data()->GetDayCell(10), kCellRest);
    EXPECT_EQ(Node("progress")->SubItems()->Text(2), "5日残");
    Form->HeaderPopupChoose(0);
    EXPECT_TRUE(Form->Calendar().HolidayDates().empty());
}

TEST_F(TChartWindow, RowHintsAndMemoInTheStatusBar) {
    TTreeList* list = Form->TreeList();
    TExSection* info = Form->Header()->Sections().Items(3);
    const int y = list->visualRect(list->Model().IndexOf(Node("progress"))).center().y();
    QTest::mouseMove(list->viewport(), QPoint(info->Left() + 4 - list->horizontalScrollBar()->value(), y));
    EXPECT_EQ(list->toolTip().toStdString(), "メモの編集");
    EXPECT_EQ(Form->StatusPanel(0)->text().toStdString(), "memo line");
    const int yLate = list->visualRect(list->Model().IndexOf(Node("late"))).center().y();
    QTest::mouseMove(list->viewport(), QPoint(info->Left() + 20 - list->horizontalScrollBar()->value(), yLate));
    EXPECT_EQ(list->toolTip().toStdString(), "リンクを開く");
    QTest::mouseMove(list->viewport(), QPoint(info->Left() + 40 - list->horizontalScrollBar()->value(), yLate));
    EXPECT_EQ(list->toolTip().toStdString(), "");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      QPoint(Day(12)->Left() + 8 - list->horizontalScrollBar()->value(), y));
    EXPECT_EQ(Form->SelectedDate(), D(2024, 5, 8));
    EXPECT_EQ(Form->StatusPanel(0)->text().toStdString(), "memo line");
}
