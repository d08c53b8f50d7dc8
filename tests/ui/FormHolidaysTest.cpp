// SPDX-License-Identifier: GPL-3.0-or-later
// The holidays dialog driven by its widgets, and from the main window.
#include "dialogs/FormHolidays.h"
#include "base/Clock.h"
#include "core/TestTree.h"
#include "main/ChartView.h"
#include "model/Calendar.h"
#include "ui/MainParts.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCalendarWidget>
#include <QComboBox>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace quillo;
using namespace quillo::test;

namespace {
const TDate kToday = D(2024, 5, 3);
} // namespace

TEST(Holidays, OkWritesEverythingBackAndCancelNothing) {
    TScriptedDesktop desktop;
    TCalendar cal;
    cal.SetHolidayDates({"2024\t5\t3\t2", "2024\t2\t30\t2", "junk"});
    {
        TFormHolidays form(desktop, cal, kToday);
        EXPECT_EQ(form.Pages->currentIndex(), 2); // the holiday page first
        EXPECT_EQ(form.Lists[2]->count(), 1);
        form.Calendar->setSelectedDate(QDate(2024, 5, 6));
        form.AddDate();
        form.AddDate(); // the same date twice: once
        form.Pages->setCurrentIndex(0);
        form.AddDate(); // on another page too
        form.Lists[2]->item(0)->setSelected(true);
        form.Pages->setCurrentIndex(2);
        form.DeleteDate();
        form.CancelButton->click();
    }
    EXPECT_EQ(cal.HolidayDates(), (std::vector<std::string>{"2024\t2\t30\t2", "2024\t5\t3\t2", "junk"}));

    TFormHolidays form(desktop, cal, kToday);
    form.Calendar->setSelectedDate(QDate(2024, 5, 6));
    form.AddDate();
    form.Pages->setCurrentIndex(0);
    form.AddDate();
    form.Weekdays[6]->setCurrentIndex(2); // Saturday a holiday
    form.CountGroup->button(1)->click();
    form.AlertList->setCurrentIndex(3);
    EXPECT_EQ(form.AlertList->currentText().toStdString(), "終了予定日の３日前");
    form.OkButton->click();
    EXPECT_EQ(cal.HolidayDates(), (std::vector<std::string>{"2024\t05\t03\t2", "2024\t05\t06\t0", "2024\t05\t06\t2"}));
    EXPECT_EQ(cal.AlertCount, 3);
    EXPECT_EQ(cal.HolidayLv, 1);
    EXPECT_EQ(cal.WeekdayLevel(7), 2);
}

TEST(Holidays, ImportAddsTheCalendarsDaysOnceAndRefusesOtherFiles) {
    TTempDir dir;
    WriteFile(dir.File("jp.ics"), "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//t//t//EN\r\nBEGIN:VEVENT\r\nUID:1\r\n"
                                  "DTSTART;VALUE=DATE:20240503\r\nDTEND;VALUE=DATE:20240505\r\nEND:VEVENT\r\n"
                                  "END:VCALENDAR\r\n");
    WriteFile(dir.File("notes.txt"), "a shopping list\n");
    TScriptedDesktop desktop;
    TCalendar cal;
    cal.SetHolidayDates({"2024\t5\t3\t2"});
    TFormHolidays form(desktop, cal, kToday);
    desktop.SetNextFile(dir.File("jp.ics"));
    form.ImportButton->click();
    EXPECT_EQ(form.Lists[2]->count(), 2); // 3 May was there already
    EXPECT_EQ(desktop.Shown.back().Text, "1件の日付を追加しました。");
    desktop.SetNextFile(dir.File("notes.txt"));
    form.ImportButton->click();
    EXPECT_EQ(desktop.Shown.back().Type, mtError);
    EXPECT_EQ(form.Lists[2]->count(), 2);
}

// A file of more dates than one import takes: the earliest go into the shown list in one pass, the
// box says how many were left out.
TEST(Holidays, AnImportBeyondTheCapSaysWhatItLeftOut) {
    TTempDir dir;
    std::string ics = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//t//t//EN\r\n";
    for (int i = 0; i < 10500; ++i) {
        int y, m, d;
        DecodeDate(D(2000, 1, 1) + i, y, m, d);
        char line[64];
        std::snprintf(line, sizeof line, "BEGIN:VEVENT\r\nDTSTART;VALUE=DATE:%04d%02d%02d\r\nEND:VEVENT\r\n", y, m, d);
        ics += line;
    }
    WriteFile(dir.File("many.ics"), ics + "END:VCALENDAR\r\n");
    TScriptedDesktop desktop;
    TCalendar cal;
    cal.SetHolidayDates({"2000\t1\t1\t2", "1999\t12\t31\t2"});
    TFormHolidays form(desktop, cal, kToday);
    desktop.SetNextFile(dir.File("many.ics"));
    form.ImportButton->click();
    ASSERT_EQ(form.Lists[2]->count(), 10001);
    EXPECT_EQ(form.Lists[2]->item(0)->text().toStdString(), "1999/12/31 (金)");
    EXPECT_EQ(form.Lists[2]->item(10000)->text().toStdString(), FormatDateWithDaySpace(D(2000, 1, 1) + 9999));
    EXPECT_EQ(desktop.Shown.back().Text,
              "9999件の日付を追加しました。\r\n一度に読み込めるのは10000件までのため、残りの500件は"
              "追加していません。");
    EXPECT_EQ(desktop.Shown.back().Type, mtWarning);
}

// A long import shows its progress and can be stopped; a stopped import adds nothing.
TEST(Holidays, ALongImportShowsProgressAndACancelAddsNothing) {
    TTempDir dir;
    std::string ics = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//t//t//EN\r\n";
    for (int i = 0; i < 100000; ++i)
        ics += "BEGIN:VEVENT\r\nDTSTART;VALUE=DATE:19" + std::to_string(10 + i % 90) + "0" + std::to_string(1 + i % 9) +
               "1" + std::to_string(i % 10) + "\r\nRRULE:FREQ=YEARLY\r\nEND:VEVENT\r\n";
    WriteFile(dir.File("yearly.ics"), ics + "END:VCALENDAR\r\n");
    TScriptedDesktop desktop;
    TCalendar cal;
    TFormHolidays form(desktop, cal, kToday);
    bool shown = false;
    std::function<void()> cancelWhenShown = [&] {
        if (auto* progress = form.findChild<QProgressDialog*>(); progress && progress->isVisible()) {
            shown = true;
            progress->cancel();
        } else {
            QTimer::singleShot(10, cancelWhenShown);
        }
    };
    QTimer::singleShot(0, cancelWhenShown);
    desktop.SetNextFile(dir.File("yearly.ics"));
    form.ImportButton->click();
    EXPECT_TRUE(shown);
    EXPECT_EQ(form.Lists[2]->count(), 0);
    EXPECT_TRUE(desktop.Shown.empty()); // no message after a cancel
}

TEST(Holidays, TheChartIsRefreshedWhateverTheAnswer) {
    TMainParts parts(kToday);
    TChartView chart(*parts.Context, [](TDate) {});
    parts.Open(Tabs("D|2024|5|3\n{\nI|due|0|2024|5|1|2024|5|6|0|\n}\n"));
    TTreeNode* due = parts.Document.Root()->GetFirstChild();
    const std::string before = due->SubItems()->Text(2);
    QTimer::singleShot(0, [] {
        auto* d = qobject_cast<TFormHolidays*>(QApplication::activeModalWidget());
        d->Weekdays[1]->setCurrentIndex(0); // Monday... and Sunday: working days
        d->Weekdays[0]->setCurrentIndex(0);
        d->CountGroup->button(0)->click();
        d->OkButton->click();
    });
    parts.Trigger("ActionSetHolidays");
    EXPECT_NE(due->SubItems()->Text(2), before);   // the remaining days were counted anew
    EXPECT_EQ(parts.Chart.DayLevel(9), dlWorkday); // Sunday 5 May in the chart
}
