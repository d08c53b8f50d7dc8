// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/Date.h"
#include "base/Clock.h"

#include <gtest/gtest.h>

using namespace quillo;

TEST(Date, EpochAndKnownDays) {
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
    EXPECT_EQ(EncodeDate(2004, 3, 9), 38055);
    EXPECT_EQ(EncodeDate(1900, 3, 1), 61); // no phantom 29 February 1900
    int y, m, d;
    DecodeDate(38055, y, m, d);
    EXPECT_EQ(std::make_tuple(y, m, d), std::make_tuple(2004, 3, 9));
    DecodeDate(0, y, m, d);
    EXPECT_EQ(std::make_tuple(y, m, d), std::make_tuple(1899, 12, 30));
}

TEST(Date, RejectsImpossibleDates) {
    TDate out = 123;
    EXPECT_FALSE(TryEncodeDate(2024, 2, 30, out));
    EXPECT_FALSE(TryEncodeDate(2023, 2, 29, out));
    EXPECT_TRUE(TryEncodeDate(2024, 2, 29, out));
    EXPECT_FALSE(TryEncodeDate(2024, 13, 1, out));
    EXPECT_FALSE(TryEncodeDate(2024, 0, 1, out));
    EXPECT_FALSE(TryEncodeDate(0, 1, 1, out));
    EXPECT_FALSE(TryEncodeDate(10000, 1, 1, out));
    EXPECT_THROW(EncodeDate(2024, 4, 31), std::invalid_argument);
}

TEST(Date, DayOfWeekStartsOnSunday) {
    EXPECT_EQ(DayOfWeek(EncodeDate(2024, 5, 3)), 6); // Friday
    EXPECT_EQ(DayOfWeek(EncodeDate(2024, 5, 5)), 1); // Sunday
    EXPECT_EQ(DayOfWeek(EncodeDate(2024, 5, 4)), 7); // Saturday
    EXPECT_EQ(DayOfWeek(0), 7);                      // 1899-12-30 was a Saturday
    EXPECT_EQ(DayOfWeek(-1), 6);
}

TEST(Date, Formats) {
    TDate d = EncodeDate(2024, 5, 3);
    EXPECT_EQ(FormatDateWithDay(d), "2024/05/03(金)");
    EXPECT_EQ(FormatDateWithDaySpace(d), "2024/05/03 (金)");
    TDate t = d + (18 * 3600 + 30 * 60 + 5) / 86400.0;
    EXPECT_EQ(FormatDateTime(t), "2024/05/03 18:30:05");
    EXPECT_EQ(FormatTime(t), "18:30:05");
    EXPECT_EQ(FormatTime(d + 0.9999999), "23:59:59"); // rounding never shows 24:00:00
}

TEST(Date, IsoParsing) {
    TDate d;
    ASSERT_TRUE(TryParseIsoDate("2024-05-03", d));
    EXPECT_EQ(d, EncodeDate(2024, 5, 3));
    EXPECT_FALSE(TryParseIsoDate("2024-02-30", d));
    EXPECT_FALSE(TryParseIsoDate("2024-5-3", d));
    EXPECT_FALSE(TryParseIsoDate("2024/05/03", d));
    EXPECT_FALSE(TryParseIsoDate("", d));
    EXPECT_FALSE(TryParseIsoDate("1800-01-01", d)); // no item could be made on it
}

TEST(Clock, FixedClockGivesWholeToday) {
    TFixedClock clock(EncodeDate(2024, 5, 3) + 0.75);
    EXPECT_EQ(clock.Today(), EncodeDate(2024, 5, 3));
    clock.Advance(0.5);
    EXPECT_EQ(clock.Today(), EncodeDate(2024, 5, 4));
}
