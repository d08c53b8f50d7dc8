// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The holidays dialog's view of the calendar: the dated overrides as three sorted lists of
// "yyyy/mm/dd (aaa)" texts, one per day level, and back to lines.
#include "base/Date.h"

#include <array>
#include <functional>
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

// Merges dates into a sorted list of date texts in one pass; returns how many were new.
size_t MergeHolidayDates(std::vector<std::string>& list, const std::vector<TDate>& dates);

// The all-day dates of an iCalendar text's events: a DTEND range gives each day before DTEND (a
// year at most), a yearly rule the dates from last year to five years ahead of `today`. The
// events are read one at a time, so a file of any size takes little memory, and what a file may
// ask for is bounded: at most kMaxImportedHolidays dates (the earliest), and a limited number of
// steps through the rules of all its events together.
constexpr size_t kMaxImportedHolidays = 10000;
struct THolidayImport {
    std::vector<TDate> Dates; // ascending, each once
    size_t Skipped = 0;       // further dates beyond the cap
    size_t Unexpanded = 0;    // events whose rule was not followed to its end
    bool Cancelled = false;   // then nothing else is set
};
// Told the bytes read and the whole size now and then; returning false cancels.
using THolidayProgress = std::function<bool(size_t done, size_t total)>;
// Throws EQuilloError when the text is no iCalendar.
THolidayImport HolidayDatesOfICalendar(std::string_view text, TDate today, const THolidayProgress& progress = {});

} // namespace quillo
