// SPDX-License-Identifier: GPL-3.0-or-later
// The chart part: its sections, painting, navigation, popup and hints, without the main window.
#include "main/ChartView.h"
#include "main/Images.h"
#include "ui/MainParts.h"

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
                              "I\tlate\t0\t2024\t4\t29\t2024\t5\t1\t0\t%lb;http://x%le;%rb;+1w%re;\r\n"
                              "I\tfuture\t0\t2024\t5\t20\t2024\t5\t24\t0\t\r\n}\r\n";

struct TChartWindow : ::testing::Test {
    TMainParts P{kToday};
    std::vector<TDate> DaysShown;
    TChartView View{*P.Context, [this](TDate d) { DaysShown.push_back(d); }};
    TChartWindow() {
        P.Tree->SetHeaderControl(P.Header);
        P.Tree->OnMouseDown = [this](TTreeList*, Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
            View.TreeList1MouseDown(x, y);
        };
        P.Window->resize(1400, 500);
        P.Window->show();
        P.Open(kSchedule);
        View.SetSelectedDate(0); // no selected day, so today's own colours show
        QApplication::processEvents();
    }
    TExSection* Day(int i) const { return P.Header->Sections().Items(TChartView::kFirstDaySection + i); }
    TTreeNode* Node(const std::string& name) const { return P.Node(name); }
    TTreeList* List() const { return P.Tree; }
    // The colour in the middle of a day cell of a row, away from marks.
    QColor Cell(const QImage& img, const std::string& name, int day) const {
        QRect row = List()->visualRect(List()->Model().IndexOf(Node(name)));
        return img.pixelColor(Day(day)->Left() + 2 - List()->horizontalScrollBar()->value(), row.center().y());
    }
    QImage Grab() const {
        List()->SetSelected(nullptr);
        return List()->viewport()->grab().toImage();
    }
};
} // namespace

TEST_F(TChartWindow, DisplayOrderAndModes) {
    EXPECT_TRUE(View.ChartMode());
    EXPECT_EQ(P.Header->Sections().Items(3)->Position(), 1);
    EXPECT_EQ(P.Header->Sections().Items(1)->Position(), -1);
    EXPECT_EQ(Day(0)->Position(), 2);
    EXPECT_EQ(Day(7)->Text, "▼");
    EXPECT_EQ(Day(8)->Text, "4");
    EXPECT_EQ(Day(0)->MinWidth(), 14);
    EXPECT_EQ(Day(0)->MaxWidth(), 50);
    P.Action("ActionShowChart")->trigger();
    EXPECT_FALSE(View.ChartMode());
    EXPECT_EQ(P.Action("ActionShowChart")->text().toStdString(), "チャートで表示(&C)");
    EXPECT_EQ(TMainCommands::ImageOf(P.Action("ActionShowChart")), 17);
    EXPECT_EQ(P.Header->Sections().Items(1)->Position(), 2);
    EXPECT_EQ(P.Header->Sections().Items(2)->Position(), 3);
    EXPECT_EQ(Day(0)->Position(), -1);
    P.Commands->Update();
    EXPECT_FALSE(P.Action("ActionChartNext")->isEnabled()); // list mode disables navigation
    EXPECT_FALSE(P.Action("ActionChartPrev1")->isEnabled());
    P.Action("ActionShowChart")->trigger();
    P.Commands->Update();
    EXPECT_TRUE(P.Action("ActionChartNext1")->isEnabled());
}

// A change of mode is one refresh of the header, and the header shows the order it was given.
TEST_F(TChartWindow, ModeChangeRefreshesTheHeaderOnce) {
    int refreshes = 0;
    QObject::connect(P.Header, &TExHeader::GeometryChanged, P.Header, [&refreshes] { ++refreshes; });
    for (bool chart : {false, true}) {
        refreshes = 0;
        P.Action("ActionShowChart")->trigger();
        EXPECT_EQ(refreshes, 1);
        const TExSections& s = P.Header->Sections();
        for (int i = 0; i < s.Count(); ++i) {
            EXPECT_EQ(P.Header->isSectionHidden(i), s.Items(i)->Position() < 0) << i;
            if (s.Items(i)->Position() >= 0) {
                EXPECT_EQ(P.Header->visualIndex(i), s.Items(i)->Position()) << i;
            }
        }
        EXPECT_EQ(Day(3)->Position() >= 0, chart);
    }
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
    QRect row = List()->visualRect(List()->Model().IndexOf(Node("progress")));
    EXPECT_EQ(img.pixelColor(Day(3)->Left() - List()->horizontalScrollBar()->value(), row.center().y()),
              QColor(0, 128, 0));
}

TEST_F(TChartWindow, TodayMarks) {
    QImage img = Grab();
    QRect row = List()->visualRect(List()->Model().IndexOf(Node("progress")));
    const int cx = Day(7)->Left() + Day(7)->Width() / 2 - List()->horizontalScrollBar()->value();
    // The mark covers the centre of the cell, so it is neither the plain fill nor the background.
    EXPECT_NE(img.pixelColor(cx, row.center().y()), QColor(102, 255, 102));
    EXPECT_EQ(Cell(img, "progress", 7), QColor(102, 255, 102));
    EXPECT_EQ(Cell(img, "late", 7), QColor(255, 0, 0));
}

TEST_F(TChartWindow, HeaderDays) {
    QImage img = P.Header->viewport()->grab().toImage();
    auto at = [&](int day) {
        return img.pixelColor(Day(day)->Left() + 1 - P.Header->offset(), P.Header->height() - 2);
    };
    EXPECT_EQ(at(7), QColor(255, 255, 153)); // today
    EXPECT_EQ(at(6), QColor(128, 128, 128)); // past
    View.SetSelectedDate(kToday + 2);
    img = P.Header->viewport()->grab().toImage();
    EXPECT_EQ(at(9), P.Header->palette().color(QPalette::Highlight));
}

TEST_F(TChartWindow, NavigationShiftsTheBlocks) {
    QImage before = Grab();
    P.Action("ActionChartNext")->trigger();
    EXPECT_EQ(P.Chart.ChartDate(), kToday - 7 + 7);
    QImage after = Grab();
    EXPECT_EQ(Cell(after, "future", 17), Cell(before, "future", 24));
    EXPECT_EQ(Node("future")->Data()->GetDayCell(17), ssWaiting);
    EXPECT_EQ(Day(0)->Text, "▼");
    P.Action("ActionChartPrev1")->trigger();
    EXPECT_EQ(P.Chart.ChartDate(), kToday - 1);
    P.Action("ActionChartPrev")->trigger();
    EXPECT_EQ(P.Chart.ChartDate(), kToday - 8);
    P.Action("ActionChartNext1")->trigger();
    EXPECT_EQ(P.Chart.ChartDate(), kToday - 7);
}

TEST_F(TChartWindow, DayWidthDragAppliesToAllDays) {
    TExHeader* h = P.Header;
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
    TExHeader* h = P.Header;
    auto hover = [&](int day) {
        QTest::mouseMove(h->viewport(), QPoint(Day(day)->Left() + Day(day)->Width() / 2 - h->offset(), 5));
        return h->toolTip().toStdString();
    };
    EXPECT_EQ(hover(5), "一昨日 - 2024/05/01(水)");
    EXPECT_EQ(hover(12), "5日後 - 2024/05/08(水)");
    EXPECT_EQ(P.Hint->text().toStdString(),
              "ヘッダを左クリックすると、2024/05/08(水)の予定を表示します。右クリックで休日の設定を行えます。");
    QTest::mouseMove(h->viewport(), QPoint(10, 5));
    EXPECT_EQ(h->toolTip().toStdString(), "");
    EXPECT_EQ(P.Hint->text().toStdString(), ""); // off the days the status bar is cleared too
    P.Hint->setText("memo line");                // another's hint stays while no day was hovered
    QTest::mouseMove(h->viewport(), QPoint(12, 5));
    EXPECT_EQ(P.Hint->text().toStdString(), "memo line");
    hover(12);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(h, &leave);
    EXPECT_EQ(P.Hint->text().toStdString(), "");
    EXPECT_EQ(h->toolTip().toStdString(), "");
    // A click on a day picks it and opens its schedule; one on a divider only resizes.
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, QPoint(Day(12)->Left() + 8 - h->offset(), 5));
    EXPECT_EQ(View.SelectedDate(), D(2024, 5, 8));
    EXPECT_EQ(DaysShown, std::vector<TDate>{D(2024, 5, 8)});
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, QPoint(Day(12)->Right() - h->offset(), 5));
    EXPECT_EQ(DaysShown.size(), 1u);
}

TEST_F(TChartWindow, HolidayPopup) {
    TExHeader* h = P.Header;
    auto* popup = qobject_cast<QMenu*>(View.HeaderPopupItem(0)->parent());
    ASSERT_TRUE(popup);
    emit h->customContextMenuRequested(QPoint(10, 5)); // over the name column: no day to set
    EXPECT_FALSE(popup->isVisible());
    emit h->customContextMenuRequested(QPoint(Day(10)->Left() + 8 - h->offset(), 5));
    EXPECT_TRUE(popup->isVisible());
    popup->close();
    QTest::mouseMove(h->viewport(), QPoint(Day(10)->Left() + 8 - h->offset(), 5)); // Monday 6 May
    View.UpdateHeaderPopup();
    EXPECT_EQ(View.HeaderPopupItem(2)->text().toStdString(), "2024/05/06(月)を休日に設定");
    EXPECT_TRUE(View.HeaderPopupItem(0)->isChecked());
    View.HeaderPopupChoose(2);
    EXPECT_EQ(P.Calendar.HolidayDates(), (std::vector<std::string>{"2024\t5\t6\t2"}));
    EXPECT_EQ(Node("progress")->Data()->GetDayCell(10), kCellRest);
    EXPECT_EQ(Node("progress")->SubItems()->Text(2), "5日残");
    View.HeaderPopupChoose(0);
    EXPECT_TRUE(P.Calendar.HolidayDates().empty());
}

TEST_F(TChartWindow, RowHintsAndMemoInTheStatusBar) {
    TTreeList* list = List();
    TExSection* info = P.Header->Sections().Items(3);
    const int y = list->visualRect(list->Model().IndexOf(Node("progress"))).center().y();
    QTest::mouseMove(list->viewport(), QPoint(info->Left() + 4 - list->horizontalScrollBar()->value(), y));
    EXPECT_EQ(list->toolTip().toStdString(), "メモの編集");
    EXPECT_EQ(P.Hint->text().toStdString(), "memo line");
    const int yLate = list->visualRect(list->Model().IndexOf(Node("late"))).center().y();
    QTest::mouseMove(list->viewport(), QPoint(info->Left() + 20 - list->horizontalScrollBar()->value(), yLate));
    EXPECT_EQ(list->toolTip().toStdString(), "リンクを開く");
    // Without a memo the repeat mark takes the memo's free place, clear of the days text.
    QTest::mouseMove(list->viewport(), QPoint(info->Left() + 4 - list->horizontalScrollBar()->value(), yLate));
    EXPECT_EQ(list->toolTip().toStdString(), "繰り返し：毎週");
    QTest::mouseMove(list->viewport(), QPoint(info->Left() + 40 - list->horizontalScrollBar()->value(), yLate));
    EXPECT_EQ(list->toolTip().toStdString(), "");
    QTest::mouseMove(list->viewport(), QPoint(info->Left() + 40 - list->horizontalScrollBar()->value(), y));
    EXPECT_EQ(list->toolTip().toStdString(), ""); // no rule, no mark
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      QPoint(Day(12)->Left() + 8 - list->horizontalScrollBar()->value(), y));
    EXPECT_EQ(View.SelectedDate(), D(2024, 5, 8));
    EXPECT_EQ(P.Hint->text().toStdString(), "memo line");
}
