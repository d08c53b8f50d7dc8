// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/Calendar.h"
#include "base/Exceptions.h"
#include "core/TestTree.h"
#include "model/Chart.h"
#include "model/HolidayLists.h"

#include <gtest/gtest.h>

#include <random>

using namespace quillo;
using namespace quillo::test;

namespace {
const TDate kFri = D(2024, 5, 3); // a Friday
const TDate kMon = D(2024, 5, 6);

int Count(const TCalendar& cal, int mode, TDate from, TDate to) {
    return cal.CountDays(mode, from, to);
}
} // namespace

TEST(Calendar, FirstStartLevels) {
    TCalendar cal;
    EXPECT_EQ(cal.LevelOfDate(D(2024, 5, 5)), dlHoliday);     // Sunday
    EXPECT_EQ(cal.LevelOfDate(D(2024, 5, 4)), dlHalfHoliday); // Saturday
    EXPECT_EQ(cal.LevelOfDate(kFri), dlWorkday);
    EXPECT_EQ(cal.HolidayLv, 0);
    EXPECT_EQ(cal.AlertCount, 0);
}

TEST(Calendar, FridayToMondayUnderTheThresholds) {
    TCalendar cal;
    EXPECT_EQ(Count(cal, 0, kFri, kMon), 2);
    cal.HolidayLv = 1;
    EXPECT_EQ(Count(cal, 0, kFri, kMon), 3);
    cal.HolidayLv = 0;
    EXPECT_EQ(Count(cal, 2, kFri, kMon), 4); // the item's own mode raises the threshold
    cal.HolidayLv = 2;
    EXPECT_EQ(Count(cal, 0, kFri, kMon), 4);
    EXPECT_EQ(Count(cal, 0, kMon, kFri), 0);
    EXPECT_EQ(Count(cal, 0, kFri, kFri), 1);
}

TEST(Calendar, OverridesAndTheirOrder) {
    TCalendar cal;
    cal.SetHolidayDates({"2024\t5\t6\t0", "2024\t05\t06\t2"});
    // Sorted: the padded line comes first, so the unpadded one decides.
    EXPECT_EQ(cal.HolidayDates().front(), "2024\t05\t06\t2");
    EXPECT_EQ(cal.LevelOfDate(kMon), 0);
    cal.SetHolidayDates({"2024\t5\t6\t2", "2024\t5\t6\t7", "2024\t2\t30\t2", "junk", "2024\t5\t6\t2"});
    EXPECT_EQ(cal.HolidayDates().size(), 4u); // identical lines once
    EXPECT_EQ(cal.LevelOfDate(kMon), 2);      // level 7 ignored, not a reset
    EXPECT_EQ(Count(cal, 0, kFri, kMon), 1);
}

TEST(Calendar, SetLevelOfDateKeepsTheListMinimal) {
    TCalendar cal;
    cal.SetLevelOfDate(kMon, 0);
    EXPECT_TRUE(cal.HolidayDates().empty());
    cal.SetLevelOfDate(kMon, 2);
    ASSERT_EQ(cal.HolidayDates().size(), 1u);
    EXPECT_EQ(cal.HolidayDates()[0], "2024\t5\t6\t2");
    EXPECT_EQ(cal.LevelOfDate(kMon), 2);
    cal.SetLevelOfDate(kMon, 0);
    EXPECT_TRUE(cal.HolidayDates().empty());

    cal.SetHolidayDates({"2024\t2\t30\t2", "2024\t05\t06\t1", "2024\t1\t1\t2"});
    cal.SetLevelOfDate(D(2024, 5, 7), 1);
    // The impossible date and nothing else disappears; the new line is added.
    EXPECT_EQ(cal.HolidayDates(), (std::vector<std::string>{"2024\t05\t06\t1", "2024\t1\t1\t2", "2024\t5\t7\t1"}));
}

TEST(Calendar, ChartLevelsFollowEveryChangeOfTheCalendarAndTheFirstDay) {
    TCalendar cal;
    TChart chart(cal);
    chart.SetChartDate(kFri);
    EXPECT_EQ(chart.DayLevel(0), dlWorkday);
    EXPECT_EQ(chart.DayLevel(1), dlHalfHoliday);
    cal.SetLevelOfDate(kMon, dlHoliday);
    EXPECT_EQ(chart.DayLevel(3), dlHoliday);
    cal.SetWeekdayLevel(6, dlHoliday); // Friday
    EXPECT_EQ(chart.DayLevel(0), dlHoliday);
    EXPECT_EQ(chart.DayLevel(7), dlHoliday);
    cal.SetHolidayDates({"2024\t5\t3\t1"});
    EXPECT_EQ(chart.DayLevel(0), dlHalfHoliday);
    EXPECT_EQ(chart.DayLevel(3), dlWorkday); // Monday's override is gone
    cal.ReadHolidaysText("2024\t5\t4\t0\r\n");
    EXPECT_EQ(chart.DayLevel(0), dlHoliday);
    EXPECT_EQ(chart.DayLevel(1), dlWorkday);
    chart.SetChartDate(kFri + 3);
    EXPECT_EQ(chart.DayLevel(0), dlWorkday);
    EXPECT_EQ(chart.DayLevel(4), dlHoliday);
}

TEST(Calendar, DayCountText) {
    TCalendar cal;
    TNodesIF nodes;
    nodes.SetOwnsData(true);
    TTreeNode* n = nodes.Add(nullptr, "t");
    TSchItem* item = BindItem(n, TSchToDo::Create("t", n));
    EXPECT_EQ(cal.DayCountText(*item, "間", kFri, 0), "-");
    EXPECT_EQ(cal.DayCountText(*item, "間", kFri, kMon), "2日間");
    EXPECT_EQ(cal.DayCountText(*item, "残", kMon, kFri), "0日残");
}

TEST(Calendar, HolidaysFile) {
    TTempDir dir;
    const std::string path = dir.File("quillo.hld");
    TCalendar cal;
    std::string error;
    EXPECT_TRUE(cal.LoadHolidaysFile(path, error)); // missing file: fine, list unchanged
    cal.SaveHolidaysFile(path);
    EXPECT_EQ(ReadFile(path), ""); // empty list, empty file

    WriteFile(path, "2024\t05\t03\t2\r\n2024\t1\t1\t2\n2024\t05\t03\t2\rjunk");
    ASSERT_TRUE(cal.LoadHolidaysFile(path, error));
    EXPECT_EQ(cal.HolidayDates(), (std::vector<std::string>{"2024\t05\t03\t2", "2024\t1\t1\t2", "junk"}));
    EXPECT_EQ(cal.LevelOfDate(kFri), 2);
    EXPECT_EQ(cal.LevelOfDate(D(2024, 1, 1)), 2);
    cal.SaveHolidaysFile(path);
    EXPECT_EQ(ReadFile(path), "2024\t05\t03\t2\r\n2024\t1\t1\t2\r\njunk\r\n");

    // A folder in the file's place is no holidays file: the list stays as it is.
    EXPECT_TRUE(cal.LoadHolidaysFile(dir.Path(), error));
    EXPECT_EQ(cal.HolidayDates().size(), 3u);
    // A failed write is one of the program's errors, which the window shows in a box.
    EXPECT_THROW(cal.SaveHolidaysFile(dir.File("missing/quillo.hld")), EQuilloError);
}

TEST(Calendar, HugeRangesCountWithoutWalkingEveryDay) {
    TCalendar cal;
    cal.SetHolidayDates({"9999\t12\t31\t0"});
    // 0001-01-01 .. 9999-12-31: finishes at once and agrees with a weekly count.
    int n = Count(cal, 0, D(1, 1, 1), D(9999, 12, 31));
    EXPECT_GT(n, 2000000);
    EXPECT_EQ(Count(cal, 2, D(1, 1, 1), D(9999, 12, 31)), static_cast<int>(D(9999, 12, 31) - D(1, 1, 1)) + 1);
}

// The index must give exactly what the literal rule gives, whatever the list holds.
TEST(Calendar, IndexAgreesWithTheLiteralRuleOnRandomLists) {
    std::mt19937 rng(12345);
    auto pick = [&](int lo, int hi) { return lo + static_cast<int>(rng() % static_cast<unsigned>(hi - lo + 1)); };
    for (int round = 0; round < 200; ++round) {
        TCalendar indexed, literal;
        literal.SetLiteralLookup(true);
        for (int dow = 1; dow <= 7; ++dow) {
            int level = pick(0, 2);
            indexed.SetWeekdayLevel(dow, level);
            literal.SetWeekdayLevel(dow, level);
        }
        std::vector<std::string> lines;
        int count = pick(0, 40);
        for (int i = 0; i < count; ++i) {
            int y = 2024, m = pick(1, 3), d = pick(1, 31), level = pick(-1, 3);
            char buf[64];
            switch (pick(0, 5)) {
            case 0:
                std::snprintf(buf, sizeof buf, "%04d\t%02d\t%02d\t%d", y, m, d, level);
                break;
            case 1:
                std::snprintf(buf, sizeof buf, "%d\t%d\t%d\t%d\textra", y, m, d, level);
                break;
            case 2:
                std::snprintf(buf, sizeof buf, "%d\t%d\t%d", y, m, d);
                break;
            case 3:
                std::snprintf(buf, sizeof buf, "%d\t%d\tx%d\t%d", y, m, d, level);
                break;
            default:
                std::snprintf(buf, sizeof buf, "%d\t%d\t%d\t%d", y, m, d, level);
                break;
            }
            lines.push_back(buf);
        }
        indexed.SetHolidayDates(lines);
        literal.SetHolidayDates(lines);
        for (TDate d = D(2023, 12, 25); d <= D(2024, 4, 5); d += 1)
            ASSERT_EQ(indexed.LevelOfDate(d), literal.LevelOfDate(d)) << "round " << round << " day " << d;
        for (int q = 0; q < 50; ++q) {
            indexed.HolidayLv = literal.HolidayLv = pick(0, 2);
            int mode = pick(0, 2);
            TDate from = D(2023, 12, 20) + pick(0, 110), to = from + pick(-3, 60);
            ASSERT_EQ(indexed.CountDays(mode, from, to), literal.CountDays(mode, from, to));
        }
    }
}

TEST(HolidayImport, AllDayDatesRangesAndYearlyRulesOnce) {
    const std::string ics =
        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//t//t//EN\r\n"
        "BEGIN:VEVENT\r\nUID:1\r\nDTSTART;VALUE=DATE:20200211\r\nRRULE:FREQ=YEARLY\r\n"
        "SUMMARY:Foundation\r\nEND:VEVENT\r\n"
        "BEGIN:VEVENT\r\nUID:2\r\nDTSTART;VALUE=DATE:20240503\r\nDTEND;VALUE=DATE:20240506\r\n"
        "END:VEVENT\r\n"
        "BEGIN:VEVENT\r\nUID:3\r\nDTSTART:20240510T090000Z\r\nDTEND:20240510T100000Z\r\nEND:VEVENT\r\n"
        "BEGIN:VEVENT\r\nUID:4\r\nDTSTART;VALUE=DATE:20240504\r\nEND:VEVENT\r\n"
        "BEGIN:VEVENT\r\nUID:5\r\nDTSTART;VALUE=DATE:20240601\r\nRRULE:FREQ=WEEKLY\r\nEND:VEVENT\r\n"
        "END:VCALENDAR\r\n";
    const std::vector<TDate> dates = HolidayDatesOfICalendar(ics, D(2024, 5, 3)).Dates;
    std::vector<TDate> want;
    for (int y = 2023; y <= 2029; ++y)
        want.push_back(D(y, 2, 11));
    want.insert(want.begin() + 2, {D(2024, 5, 3), D(2024, 5, 4), D(2024, 5, 5), D(2024, 6, 1)}); // other rules: once
    EXPECT_EQ(dates, want);
    EXPECT_THROW(HolidayDatesOfICalendar("a shopping list\n", D(2024, 5, 3)), EQuilloError);

    // A yearly holiday of three days gives all three in every year, over a year's end too.
    const std::vector<TDate> newYear =
        HolidayDatesOfICalendar(
            "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART;VALUE=DATE:20211231\r\nDTEND;VALUE=DATE:20220103\r\n"
            "RRULE:FREQ=YEARLY\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n",
            D(2024, 5, 3))
            .Dates;
    want.clear();
    for (int y = 2023; y <= 2029; ++y)
        want.insert(want.end(), {D(y, 12, 31), D(y + 1, 1, 1), D(y + 1, 1, 2)});
    EXPECT_EQ(newYear, want);

    TCalendar cal;
    cal.SetHolidayDates({"2024\t5\t3\t2", "2024\t1\t1\t1", "junk", "2024\t2\t30\t2", "2024\t5\t4\t7"});
    THolidayLists lists = HolidayListsOf(cal);
    EXPECT_EQ(lists[1], (std::vector<std::string>{"2024/01/01 (月)"}));
    EXPECT_EQ(lists[2], (std::vector<std::string>{"2024/05/03 (金)"}));
    EXPECT_FALSE(AddHolidayText(lists[2], D(2024, 5, 3)));
    EXPECT_TRUE(AddHolidayText(lists[0], D(2024, 5, 3)));
    cal.SetHolidayDates(HolidayLinesOf(lists)); // zero-padded; the later line decides
    EXPECT_EQ(cal.HolidayDates(), (std::vector<std::string>{"2024\t01\t01\t1", "2024\t05\t03\t0", "2024\t05\t03\t2"}));
    EXPECT_EQ(cal.LevelOfDate(D(2024, 5, 3)), 2);
}

namespace {
std::string Calendar(const std::string& events) {
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//t//t//EN\r\n" + events + "END:VCALENDAR\r\n";
}
std::string Event(const std::string& lines) {
    return "BEGIN:VEVENT\r\n" + lines + "END:VEVENT\r\n";
}
} // namespace

// A hostile file costs bounded time and memory: what names no day is passed over unparsed, a rule
// from year 1 starts at the window, and past the cap the dates are counted, not kept.
TEST(HolidayImport, WhatAFileMayAskForIsBounded) {
    std::string events = Event("DTSTART;VALUE=\r\n DATE:20240503\r\nSUMMARY:" + std::string(1u << 20, 'x') +
                               "\r\nBEGIN:VALARM\r\nDTSTART;VALUE=DATE:20240601\r\nEND:VALARM\r\n") +
                         "BEGIN:VTODO\r\nDTSTART;VALUE=DATE:20240701\r\nEND:VTODO\r\n" +
                         Event("DTSTART;VALUE=DATE:00010211\r\nRRULE:FREQ=YEARLY\r\n") +
                         Event("DTSTART;VALUE=DATE:00010101\r\nRRULE:FREQ=YEARLY;COUNT=5000\r\n");
    THolidayImport small = HolidayDatesOfICalendar(Calendar(events), D(2024, 5, 3));
    EXPECT_EQ(small.Dates.size(), 1u + 7 + 7);
    EXPECT_EQ(small.Dates[2], D(2024, 1, 1));
    EXPECT_EQ(small.Dates[4], D(2024, 5, 3)); // folded, and not moved by its alarm
    EXPECT_EQ(small.Skipped + small.Unexpanded, 0u);
    // A fold may fall inside a value, after a space or a tab: the line goes on without either.
    const THolidayImport folded = HolidayDatesOfICalendar(
        Calendar(Event("DTSTART;VALUE=DATE:2024\r\n 0506\r\nDTEND;VALUE=DATE:20240\r\n\t508\r\n")),
        D(2024, 5, 3));
    EXPECT_EQ(folded.Dates, (std::vector<TDate>{D(2024, 5, 6), D(2024, 5, 7)}));

    events.clear();
    for (int i = 0; i < 12000; ++i) {
        int y, m, d;
        DecodeDate(D(2000, 1, 1) + i, y, m, d);
        char date[9];
        std::snprintf(date, sizeof date, "%04d%02d%02d", y, m, d);
        events += Event(std::string("DTSTART;VALUE=DATE:") + date + "\r\n");
    }
    const std::string big = Calendar(events);
    const THolidayImport capped = HolidayDatesOfICalendar(big, D(2024, 5, 3));
    EXPECT_EQ(capped.Dates.size(), kMaxImportedHolidays);
    EXPECT_EQ(capped.Dates.back(), D(2000, 1, 1) + kMaxImportedHolidays - 1);
    EXPECT_EQ(capped.Skipped, 12000 - kMaxImportedHolidays);

    size_t reports = 0, last = 0;
    const THolidayImport stopped = HolidayDatesOfICalendar(big, D(2024, 5, 3), [&](size_t done, size_t total) {
        EXPECT_EQ(total, big.size());
        EXPECT_GT(done, last);
        last = done;
        return ++reports < 50;
    });
    EXPECT_TRUE(stopped.Cancelled);
    EXPECT_TRUE(stopped.Dates.empty());
    EXPECT_EQ(reports, 50u);

    // Rules that would take more steps than a file is given are counted as not followed.
    std::string days;
    for (int d = 1; d <= 28; ++d)
        days += (d > 1 ? "," : "") + std::to_string(d);
    const std::string busy =
        Event("DTSTART;VALUE=DATE:20200101\r\nRRULE:FREQ=YEARLY;BYMONTH=1,2,3,4,5,6,7,8,9,10,11,12;"
              "BYMONTHDAY=" +
              days + "\r\n");
    events.clear();
    for (int i = 0; i < 80; ++i)
        events += busy;
    const THolidayImport steps = HolidayDatesOfICalendar(Calendar(events), D(2024, 5, 3));
    EXPECT_GT(steps.Unexpanded, 0u);
    EXPECT_EQ(steps.Dates.size(), 7u * 12 * 28); // what the followed rules gave

    std::vector<std::string> list{"2024/05/03 (金)", "2024/05/06 (月)"};
    EXPECT_EQ(MergeHolidayDates(list, {D(2024, 5, 1), D(2024, 5, 3), D(2024, 5, 4)}), 2u);
    EXPECT_EQ(list,
              (std::vector<std::string>{"2024/05/01 (水)", "2024/05/03 (金)", "2024/05/04 (土)", "2024/05/06 (月)"}));
}
