// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The chart's view of the calendar: its first day, the level of each of its days, and whether the
// window shows the chart or the list.
#include "base/Date.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace quillo {

class TCalendar;

constexpr int kChartDays = 60;
// The chart's first day counted from the start-up day, when nothing else was stored.
constexpr int kDefaultChartOffset = -7;

class TChart {
public:
    explicit TChart(const TCalendar& calendar) : mCalendar(calendar) {}
    TChart(const TChart&) = delete;
    TChart& operator=(const TChart&) = delete;

    const TCalendar& Calendar() const { return mCalendar; }
    TDate ChartDate() const { return mChartDate; }
    // Every day of the chart is one an item can hold, so a to-do made on a chart day is writable.
    void SetChartDate(TDate first) { mChartDate = std::clamp(first, kFirstItemDate, kLastItemDate - kChartDays + 1); }
    // Rebuilt on first use after the calendar or the first day changed, so no caller can forget.
    const std::array<int8_t, kChartDays>& ChartDayLevels() const;
    int DayLevel(int index) const { return ChartDayLevels()[static_cast<size_t>(index)]; }

    bool ChartMode = true; // false: the list columns instead of the day columns

private:
    const TCalendar& mCalendar;
    TDate mChartDate = 0;
    mutable std::array<int8_t, kChartDays> mLevels{};
    mutable unsigned mBuiltRevision = 0;
    mutable TDate mBuiltDate = 0;
    mutable bool mBuilt = false;
};

} // namespace quillo
