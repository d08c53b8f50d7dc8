#pragma once
// The main window's table of persistent settings, and reading the calendar part of it.
#include <string>

namespace quillo {

class TCalendar;
class TRegItems;
class TRegManager;

void AddMainSettingsItems(TRegItems& items);

// Reads the weekday levels, HolidayLv, AlertCount and the ChartDate offset (days from the start-up
// day) from the store; an absent settings file keeps the first-start values. Never writes.
void ReadCalendarSettings(TRegManager& store, TCalendar& calendar, int& chartDateOffset);

} // namespace quillo
