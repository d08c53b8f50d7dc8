// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's table of persistent settings: reading and writing every row of it.
#include "base/Date.h"

#include <string>
#include <string_view>

namespace quillo {

class TCalendar;
class TChart;
class TExSections;
class TRegItems;
class TRegManager;

// What the settings hold besides the calendar, the chart and the header: the places of windows.
struct TMainSettings {
    int FormX = 0, FormY = 0, FormH = 0, FormW = 0; // the main window's normal placement
    bool Maximized = false;
    int PropX = -1, PropY = -1;                         // -1: the property dialog was never placed
    int TodayX = 0, TodayY = 0, TodayW = 0, TodayH = 0; // a height of 0: the day window was never placed
};

// Header sections: 0 name, 1 begin, 2 end, 3 information, then the day columns, which share one width.
constexpr int kStoredSections = 5;

// The largest caution lead the holidays dialog offers, in counted days.
constexpr int kMaxAlertCount = 7;
// How far from the start-up day a stored chart may begin: a century either way.
constexpr int kMaxChartOffset = 36524;

void AddMainSettingsItems(TRegItems& items);

// An integer setting, brought into low..high.
int ReadClamped(TRegManager& store, std::string_view name, int low, int high);

// Reads the weekday levels, HolidayLv, AlertCount and the ChartDate offset (days from the start-up
// day) from the store; an absent settings file keeps the first-start values. Never writes.
void ReadCalendarSettings(TRegManager& store, TCalendar& calendar, int& chartDateOffset);
// The same from the settings file in `dir`, then the holidays file there, as a reader that is not
// the window takes them (the terminal program, a print from a script): nothing is written. False,
// with the file's name and the reason in `error`, when the holidays file cannot be read.
bool ReadCalendarFiles(const std::string& dir, TCalendar& calendar, int& chartDateOffset, std::string& error);

// Every row: the calendar's as ReadCalendarSettings reads them, the window, the dialogs, the header
// widths (each section keeps its own limits; the fifth width is every day column's) and the chart's
// first day. Values outside their range are brought into it.
void LoadMainSettings(TRegManager& store, TDate today, TCalendar& calendar, TChart& chart, TExSections& sections,
                      TMainSettings& settings);

// Every row in the order a shutdown writes them, then the holidays file (none for an empty path). A row that cannot be
// written does not stop the others; the first failure is thrown when all were tried. While the
// window is maximized only that is written, so the file keeps its last normal placement.
void SaveMainSettings(TRegManager& store, TDate today, const TCalendar& calendar, const TChart& chart,
                      const TExSections& sections, const TMainSettings& settings, const std::string& holidaysFile);

} // namespace quillo
