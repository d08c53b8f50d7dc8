// SPDX-License-Identifier: GPL-3.0-or-later
#include "edit/ICalendar.h"

#include "base/Cp932.h"
#include "base/Exceptions.h"
#include "base/SafeFile.h"
#include "base/StrUtil.h"
#include "model/Calendar.h"
#include "model/NodesIF.h"
#include "model/Repeat.h"
#include "model/SchItem.h"

#include <libical/ical.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace quillo {

namespace {
// Set from text: libical writes a time value it was given as fields only up to the year 3000
// (and "00000000T000000" after it), while an item's year goes to 9999.
icalproperty* DateProperty(icalproperty_kind kind, TDate date) {
    int y, m, d;
    DecodeDate(date, y, m, d);
    char text[16];
    std::snprintf(text, sizeof text, "%04d%02d%02d", y, m, d);
    icalproperty* p = icalproperty_new(kind);
    icalproperty_set_value_from_string(p, text, "DATE");
    return p;
}

icalproperty* StampProperty(icalproperty_kind kind, TDate now) {
    int y, m, d, hh, mm, ss;
    DecodeDate(now, y, m, d);
    DecodeTime(now, hh, mm, ss);
    char text[24];
    std::snprintf(text, sizeof text, "%04d%02d%02dT%02d%02d%02dZ", y, m, d, hh, mm, ss);
    icalproperty* p = icalproperty_new(kind);
    icalproperty_set_value_from_string(p, text, "DATE-TIME");
    return p;
}

// FNV-1a: stable across runs and builds, unlike std::hash.
uint64_t Mix(uint64_t h, std::string_view bytes) {
    for (unsigned char c : bytes) {
        h ^= c;
        h *= 1099511628211ull;
    }
    return h;
}

// A text value holds no control characters but line breaks and tabs; a NUL would end it early.
std::string Text(const std::string& cp932) {
    std::string utf8 = Cp932ToUtf8(ReplaceAll(cp932, "\r\n", "\n"));
    std::erase_if(utf8,
                  [](char c) { return (static_cast<unsigned char>(c) < 0x20 && c != '\n' && c != '\t') || c == 0x7F; });
    return utf8;
}

void Add(icalcomponent* c, icalproperty* p) {
    icalcomponent_add_property(c, p);
}

icalproperty* XProperty(const char* name, const std::string& value) {
    icalproperty* p = icalproperty_new_x(value.c_str());
    icalproperty_set_x_name(p, name);
    return p;
}

void EndArray(short* values, size_t count) {
    values[count] = ICAL_RECURRENCE_ARRAY_MAX;
}

// The rule as RRULE, counted from the to-do's first date. Months and years that lack the day
// take their last day, as the program does; working days are only approximated by the weekdays
// that count, since holidays have no place in a rule. False when there is nothing to write.
bool RecurrenceOf(const TRepeatRule& rule, TDate anchor, int holidayMode, const TCalendar& calendar,
                  icalrecurrencetype& r) {
    icalrecurrencetype_clear(&r);
    r.interval = static_cast<short>(rule.Count);
    int y, m, d;
    DecodeDate(anchor, y, m, d);
    switch (rule.Unit) {
    case ruDay:
        r.freq = ICAL_DAILY_RECURRENCE;
        return true;
    case ruWeek:
        r.freq = ICAL_WEEKLY_RECURRENCE;
        return true;
    case ruMonth:
    case ruYear:
        r.freq = rule.Unit == ruMonth ? ICAL_MONTHLY_RECURRENCE : ICAL_YEARLY_RECURRENCE;
        if (d > 28 && (rule.Unit == ruMonth || m == 2)) {
            size_t n = 0;
            for (int day = 28; day <= d; ++day)
                r.by_month_day[n++] = static_cast<short>(day);
            EndArray(r.by_month_day, n);
            if (rule.Unit == ruYear) {
                r.by_month[0] = 2;
                EndArray(r.by_month, 1);
            }
            r.by_set_pos[0] = -1;
            EndArray(r.by_set_pos, 1);
        }
        return true;
    case ruWorkday:
        break;
    }
    const int threshold = std::max({0, calendar.HolidayLv, holidayMode});
    std::vector<short> counted;
    for (int dow = 1; dow <= 7; ++dow)
        if (calendar.WeekdayLevel(dow) <= threshold) counted.push_back(static_cast<short>(dow));
    const int perWeek = static_cast<int>(counted.size());
    if (perWeek == 0) return false;
    r.freq = ICAL_DAILY_RECURRENCE;
    if (perWeek == 7) return true;
    if (rule.Count == 1) {
        std::copy(counted.begin(), counted.end(), r.by_day);
        EndArray(r.by_day, counted.size());
    } else if (rule.Count % perWeek == 0) {
        r.freq = ICAL_WEEKLY_RECURRENCE;
        r.interval = static_cast<short>(rule.Count / perWeek);
    } else {
        const long days = std::lround(rule.Count * 7.0 / perWeek);
        if (days > SHRT_MAX) return false;
        r.interval = static_cast<short>(days);
    }
    return true;
}
} // namespace

std::string ScheduleToICalendar(const TNodesIF& nodes, const std::string& identity, TDate now,
                                const TCalendar* calendar) {
    static const TCalendar kDefaultWeek;
    const TCalendar& week = calendar ? *calendar : kDefaultWeek;
    std::unique_ptr<icalcomponent, decltype(&icalcomponent_free)> ical(icalcomponent_new(ICAL_VCALENDAR_COMPONENT),
                                                                       &icalcomponent_free);
    Add(ical.get(), icalproperty_new_version("2.0"));
    Add(ical.get(), icalproperty_new_prodid("-//Quillo//Quillory Plan//JA"));
    const uint64_t base = Mix(14695981039346656037ull, identity);
    std::unordered_map<const TTreeNode*, std::string> uids;
    std::unordered_map<std::string, int> namesakes; // parent's UID and name: siblings seen so far

    // Iterative: a schedule may nest deeper than any stack.
    for (TTreeNode* n = nodes.GetFirstNode(); n; n = n->GetNext()) {
        const TSchItem* item = n->Data();
        if (!item) continue;
        const auto up = uids.find(n->Parent());
        const std::string parentUid = up == uids.end() ? "/" : up->second;
        const int ordinal = namesakes[parentUid + '\t' + item->Name]++;
        uint64_t h = Mix(base, parentUid);
        h = Mix(h, item->Name + '\n' + std::to_string(ordinal));
        char uid[40];
        std::snprintf(uid, sizeof uid, "%016llx@quillo", static_cast<unsigned long long>(h));
        uids[n] = uid;

        icalcomponent* todo = icalcomponent_new(ICAL_VTODO_COMPONENT);
        Add(todo, icalproperty_new_uid(uid));
        Add(todo, StampProperty(ICAL_DTSTAMP_PROPERTY, now));
        Add(todo, icalproperty_new_summary(Text(item->Name).c_str()));
        // DUE must come after DTSTART. Clients show an all-day DUE as the day it names, which is
        // the end date itself; a to-do of one day is therefore its DUE alone.
        const TDate begin = item->BeginDate, end = item->EndDate;
        if (begin > 0 && (end <= 0 || begin < end)) Add(todo, DateProperty(ICAL_DTSTART_PROPERTY, begin));
        if (end > 0) Add(todo, DateProperty(ICAL_DUE_PROPERTY, end));
        // Only what the program knows: whether it is done, not when.
        Add(todo, icalproperty_new_status(item->Checked ? ICAL_STATUS_COMPLETED : ICAL_STATUS_NEEDSACTION));
        if (item->Checked) Add(todo, icalproperty_new_percentcomplete(100));
        if (!item->Memo.empty()) Add(todo, icalproperty_new_description(Text(item->Memo).c_str()));
        if (!item->Link.empty()) Add(todo, icalproperty_new_url(Text(item->Link).c_str()));
        if (up != uids.end()) {
            icalproperty* p = icalproperty_new_relatedto(up->second.c_str());
            icalproperty_add_parameter(p, icalparameter_new_reltype(ICAL_RELTYPE_PARENT));
            Add(todo, p);
        }
        Add(todo, XProperty("X-QUILLO-HOLIDAY-MODE", std::to_string(item->HolidayMode)));
        if (!item->IsFolder() && !item->Repeat.empty()) {
            const TDate anchor = begin > 0 ? begin : end;
            icalrecurrencetype r;
            if (const auto rule = ParseRepeatRule(item->Repeat);
                rule && anchor > 0 && RecurrenceOf(*rule, anchor, item->HolidayMode, week, r))
                Add(todo, icalproperty_new_rrule(r));
            Add(todo, XProperty("X-QUILLO-REPEAT", Text(ReplaceAll(item->Repeat, "%25;", "%"))));
        }
        icalcomponent_add_component(ical.get(), todo);
    }
    char* text = icalcomponent_as_ical_string_r(ical.get());
    std::string out = text ? text : "";
    std::free(text);
    return out;
}

void ExportICalendar(const TNodesIF& nodes, const std::string& identity, TDate now, const std::string& path,
                     const TCalendar* calendar) {
    try {
        WriteFileAtomic(path, ScheduleToICalendar(nodes, identity, now, calendar), "~qli");
    } catch (const EFileWriteError& e) {
        throw ESaveError(path + " の保存に失敗しました。\r\n" + SystemReason(e.Error));
    }
}

} // namespace quillo
