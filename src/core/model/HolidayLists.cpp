// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/HolidayLists.h"

#include "base/Exceptions.h"
#include "model/Calendar.h"

#include <libical/ical.h>

#include <algorithm>
#include <memory>

namespace quillo {

THolidayLists HolidayListsOf(const TCalendar& calendar) {
    THolidayLists lists;
    for (const std::string& line : calendar.HolidayDates()) {
        TDate date;
        int level;
        if (!TCalendar::ParseHolidayLine(line, date, level) || level < 0 || level > 2) continue;
        AddHolidayText(lists[static_cast<size_t>(level)], date);
    }
    return lists;
}

bool AddHolidayText(std::vector<std::string>& list, TDate date) {
    const std::string text = FormatDateWithDaySpace(date);
    const auto at = std::lower_bound(list.begin(), list.end(), text);
    if (at != list.end() && *at == text) return false;
    list.insert(at, text);
    return true;
}

std::vector<std::string> HolidayLinesOf(const THolidayLists& lists) {
    std::vector<std::string> lines;
    for (size_t level = 0; level < lists.size(); ++level)
        for (const std::string& text : lists[level])
            if (text.size() >= 10)
                lines.push_back(text.substr(0, 4) + "\t" + text.substr(5, 2) + "\t" + text.substr(8, 2) + "\t" +
                                std::to_string(level));
    return lines;
}

namespace {
bool DateOf(const icaltimetype& t, TDate& out) {
    return !icaltime_is_null_time(t) && TryEncodeDate(t.year, t.month, t.day, out);
}
} // namespace

std::vector<TDate> HolidayDatesOfICalendar(std::string_view text, TDate today) {
    const std::string copy(text);
    std::unique_ptr<icalcomponent, decltype(&icalcomponent_free)> root(icalparser_parse_string(copy.c_str()),
                                                                       &icalcomponent_free);
    icalcomponent* calendar = root.get();
    if (calendar && icalcomponent_isa(calendar) != ICAL_VCALENDAR_COMPONENT)
        calendar = icalcomponent_get_first_component(calendar, ICAL_VCALENDAR_COMPONENT);
    if (!calendar) throw EQuilloError("iCalendarのファイルではありません。");
    int year, month, day;
    DecodeDate(today, year, month, day);
    std::vector<TDate> dates;
    for (icalcomponent* e = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT); e;
         e = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT)) {
        const icaltimetype start = icalcomponent_get_dtstart(e);
        TDate first;
        if (!start.is_date || !DateOf(start, first)) continue; // timed events name no day off
        TDate end = first + 1;
        if (icalproperty* p = icalcomponent_get_first_property(e, ICAL_DTEND_PROPERTY)) {
            TDate d;
            if (DateOf(icalproperty_get_dtend(p), d) && d > first) end = std::min(d, first + 366);
        }
        const int span = static_cast<int>(end - first);
        icalproperty* rule = icalcomponent_get_first_property(e, ICAL_RRULE_PROPERTY);
        const icalrecurrencetype recurrence = rule ? icalproperty_get_rrule(rule) : icalrecurrencetype{};
        if (!rule || recurrence.freq != ICAL_YEARLY_RECURRENCE) {
            for (int i = 0; i < span; ++i)
                dates.push_back(first + i);
            continue;
        }
        icalrecur_iterator* it = icalrecur_iterator_new(recurrence, start);
        for (icaltimetype t = icalrecur_iterator_next(it); it && !icaltime_is_null_time(t) && t.year <= year + 5;
             t = icalrecur_iterator_next(it)) {
            TDate d;
            if (t.year >= year - 1 && DateOf(t, d))
                for (int i = 0; i < span; ++i)
                    dates.push_back(d + i);
        }
        icalrecur_iterator_free(it);
    }
    std::sort(dates.begin(), dates.end());
    dates.erase(std::unique(dates.begin(), dates.end()), dates.end());
    return dates;
}

} // namespace quillo
