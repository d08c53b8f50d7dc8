// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The holidays dialog's view of the calendar: the dated overrides as three sorted lists of
// "yyyy/mm/dd (aaa)" texts, one per day level, and back to lines.
#include "base/Date.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace quillo {

class TCalendar;

using THolidayLists = std::array<std::vector<std::string>, 3>; // by level: workday, half, holiday

// Lines that do not parse, or carry another level, are left out.
THolidayLists HolidayListsOf(const TCalendar& calendar);
// Adds the date's text to a list unless it is there; keeps the list sorted. False when present.
bool AddHolidayText(std::vector<std::string>& list, TDate date);
// Lines "yyyy TAB mm TAB dd TAB level" taken from the texts as they stand, levels 0, 1, 2 in turn.
std::vector<std::string> HolidayLinesOf(const THolidayLists& lists);

// The all-day dates of an iCalendar text's events: a DTEND range gives each day before DTEND,
// a yearly rule the dates from last year to five years ahead of `today`. Throws EQuilloError
// when the text is no iCalendar.
std::vector<TDate> HolidayDatesOfICalendar(std::string_view text, TDate today);

} // namespace quillo
