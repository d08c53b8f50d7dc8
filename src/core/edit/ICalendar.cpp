// SPDX-License-Identifier: GPL-3.0-or-later
#include "edit/ICalendar.h"

#include "base/Cp932.h"
#include "base/Exceptions.h"
#include "base/SafeFile.h"
#include "base/StrUtil.h"
#include "model/NodesIF.h"
#include "model/SchItem.h"

#include <libical/ical.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unordered_map>

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
} // namespace

std::string ScheduleToICalendar(const TNodesIF& nodes, const std::string& identity, TDate now) {
    std::unique_ptr<icalcomponent, decltype(&icalcomponent_free)> calendar(icalcomponent_new(ICAL_VCALENDAR_COMPONENT),
                                                                           &icalcomponent_free);
    Add(calendar.get(), icalproperty_new_version("2.0"));
    Add(calendar.get(), icalproperty_new_prodid("-//Quillo//Quillory Plan//JA"));
    const uint64_t base = Mix(14695981039346656037ull, identity);
    std::unordered_map<const TTreeNode*, std::string> uids;

    // Iterative: a schedule may nest deeper than any stack.
    for (TTreeNode* n = nodes.GetFirstNode(); n; n = n->GetNext()) {
        const TSchItem* item = n->Data();
        if (!item) continue;
        // A node's place (its row under its parent's place) and its name make its identity.
        const TTreeNode* parent = n->Parent();
        const auto up = uids.find(parent);
        uint64_t h = Mix(base, up == uids.end() ? std::string_view("/") : std::string_view(up->second));
        h = Mix(h, std::to_string(n->Index()) + "/" + item->Name);
        char uid[40];
        std::snprintf(uid, sizeof uid, "%016llx@quillo", static_cast<unsigned long long>(h));
        uids[n] = uid;

        icalcomponent* todo = icalcomponent_new(ICAL_VTODO_COMPONENT);
        Add(todo, icalproperty_new_uid(uid));
        Add(todo, StampProperty(ICAL_DTSTAMP_PROPERTY, now));
        Add(todo, icalproperty_new_summary(Text(item->Name).c_str()));
        if (item->BeginDate > 0) Add(todo, DateProperty(ICAL_DTSTART_PROPERTY, item->BeginDate));
        if (item->EndDate > 0) Add(todo, DateProperty(ICAL_DUE_PROPERTY, item->EndDate));
        if (item->Checked) {
            Add(todo, icalproperty_new_status(ICAL_STATUS_COMPLETED));
            Add(todo, StampProperty(ICAL_COMPLETED_PROPERTY, now));
        }
        if (!item->Memo.empty()) Add(todo, icalproperty_new_description(Text(item->Memo).c_str()));
        if (!item->Link.empty()) Add(todo, icalproperty_new_url(Text(item->Link).c_str()));
        if (up != uids.end()) {
            icalproperty* p = icalproperty_new_relatedto(up->second.c_str());
            icalproperty_add_parameter(p, icalparameter_new_reltype(ICAL_RELTYPE_PARENT));
            Add(todo, p);
        }
        icalproperty* mode = icalproperty_new_x(std::to_string(item->HolidayMode).c_str());
        icalproperty_set_x_name(mode, "X-QUILLO-HOLIDAY-MODE");
        Add(todo, mode);
        icalcomponent_add_component(calendar.get(), todo);
    }
    char* text = icalcomponent_as_ical_string_r(calendar.get());
    std::string out = text ? text : "";
    std::free(text);
    return out;
}

void ExportICalendar(const TNodesIF& nodes, const std::string& identity, TDate now, const std::string& path) {
    try {
        WriteFileAtomic(path, ScheduleToICalendar(nodes, identity, now), "~qli");
    } catch (const EFileWriteError& e) {
        throw ESaveError(path + " の保存に失敗しました。\r\n" + SystemReason(e.Error));
    }
}

} // namespace quillo
