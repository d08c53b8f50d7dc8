#pragma once
// The main window's table of persistent settings, and reading the calendar part of it.
#include <string>
#include <string_view>

namespace quillo {

class TCalendar;
class TRegItems;
class TRegManager;

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

} // namespace quillo
