// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Day levels (weekday defaults overridden by dated lines), the holidays file and day counting.
#include "base/Date.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace quillo {

class TSchItem;

enum TDayLevel { dlWorkday = 0, dlHalfHoliday = 1, dlHoliday = 2 };
constexpr int kDayLevels = 3;

class TCalendar {
public:
    TCalendar();

    // 1 = Sunday .. 7 = Saturday.
    int WeekdayLevel(int dayOfWeek) const { return mWeekdayLevels[static_cast<size_t>(dayOfWeek)]; }
    void SetWeekdayLevel(int dayOfWeek, int level);

    int HolidayLv = 0;  // a day counts when its level is <= this
    int AlertCount = 0; // counted days of caution before an end date

    const std::vector<std::string>& HolidayDates() const { return mHolidayDates; }
    void SetHolidayDates(std::vector<std::string> lines); // sorted, identical lines once
    void AddHolidayLine(std::string line);

    int LevelOfDate(TDate date) const;
    void SetLevelOfDate(TDate date, int level); // keeps the list minimal
    // Changes with every change of the day levels, so that views built from them know to rebuild.
    unsigned Revision() const { return mRevision; }
    int CountDays(int holidayMode, TDate from, TDate to) const;
    int CountDays(const TSchItem& item, TDate from, TDate to) const;
    std::string DayCountText(const TSchItem& item, std::string_view suffix, TDate from, TDate to) const;

    // The plain rule: every lookup parses every line. Kept as the reference the index is checked
    // against; when switched on, all lookups and counts go through it.
    int LevelOfDateLiteral(TDate date) const;
    void SetLiteralLookup(bool literal) { mLiteral = literal; }

    // The .hld file: lines "year TAB month TAB day TAB level", CR LF.
    void ReadHolidaysText(std::string_view text); // replaces the list
    std::string HolidaysText() const;
    // A missing file leaves the list as it is; false (with `error`) when it exists but cannot be read.
    bool LoadHolidaysFile(const std::string& path, std::string& error);
    void SaveHolidaysFile(const std::string& path) const; // atomic; throws on failure

    // One line parsed like a lookup does; false for malformed lines and impossible dates.
    static bool ParseHolidayLine(std::string_view line, TDate& date, int& level);

private:
    struct TOverride {
        int Day;
        int Level;
    };
    void RebuildIndex();
    int WeekdayCount(int threshold, long long from, long long to) const;

    std::array<int, 8> mWeekdayLevels{};
    std::vector<std::string> mHolidayDates;
    bool mLiteral = false;
    unsigned mRevision = 0;
    // The index: valid overrides sorted by day (last line wins), and per threshold the running
    // sum of how much each override changes the weekday-only count.
    std::vector<TOverride> mOverrides;
    std::array<std::vector<int>, 3> mAdjustPrefix;
    // Per threshold and first weekday (0 = Sunday), the counted days among the first 0..7 days.
    std::array<std::array<std::array<int, 8>, 7>, 3> mPartWeeks{};
};

} // namespace quillo
