// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/HolidayLists.h"

#include "base/Exceptions.h"
#include "base/StrUtil.h"
#include "model/Calendar.h"

#include <libical/ical.h>

#include <algorithm>
#include <iterator>
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

size_t MergeHolidayDates(std::vector<std::string>& list, const std::vector<TDate>& dates) {
    std::vector<std::string> texts;
    texts.reserve(dates.size());
    for (TDate d : dates)
        texts.push_back(FormatDateWithDaySpace(d));
    std::vector<std::string> merged;
    merged.reserve(list.size() + texts.size());
    std::set_union(std::make_move_iterator(list.begin()), std::make_move_iterator(list.end()), texts.begin(),
                   texts.end(), std::back_inserter(merged));
    const size_t added = merged.size() - list.size();
    list = std::move(merged);
    return added;
}

namespace {
constexpr size_t kMaxContentLine = 4096; // a date or a rule is short: a longer line is none
constexpr long kRuleSteps = 150000;      // through the rules of one file, all events together: a second or so
constexpr int kMaxSpan = 366;            // days one event may cover
constexpr size_t kProgressSteps = 200;   // reports over a whole file

bool DateOf(const icaltimetype& t, TDate& out) {
    return !icaltime_is_null_time(t) && TryEncodeDate(t.year, t.month, t.day, out);
}

std::string_view TrimEnd(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

bool StartsWith(std::string_view s, std::string_view head) {
    return s.size() >= head.size() && SameText(s.substr(0, head.size()), head);
}

// Collects the days of the events one by one, each parsed by libical alone.
class TDayCollector {
public:
    TDayCollector(TDate today) : mDays(static_cast<size_t>(kLastItemDate - kFirstItemDate) + 1) {
        int month, day;
        DecodeDate(today, mYear, month, day);
    }

    void AddEvent(const std::string& text) {
        std::unique_ptr<icalcomponent, decltype(&icalcomponent_free)> event(icalcomponent_new_from_string(text.c_str()),
                                                                            &icalcomponent_free);
        if (!event) return;
        const icaltimetype start = icalcomponent_get_dtstart(event.get());
        TDate first;
        if (!start.is_date || !DateOf(start, first)) return; // timed events name no day off
        TDate end = first + 1;
        if (icalproperty* p = icalcomponent_get_first_property(event.get(), ICAL_DTEND_PROPERTY)) {
            TDate d;
            if (DateOf(icalproperty_get_dtend(p), d) && d > first) end = std::min(d, first + kMaxSpan);
        }
        const int span = static_cast<int>(end - first);
        icalproperty* rule = icalcomponent_get_first_property(event.get(), ICAL_RRULE_PROPERTY);
        const icalrecurrencetype recurrence = rule ? icalproperty_get_rrule(rule) : icalrecurrencetype{};
        if (!rule || recurrence.freq != ICAL_YEARLY_RECURRENCE) return AddSpan(first, span);
        if (mSteps <= 0) { // setting a rule up costs as much as a few steps through it
            ++Unexpanded;
            return;
        }
        std::unique_ptr<icalrecur_iterator, decltype(&icalrecur_iterator_free)> it(
            icalrecur_iterator_new(recurrence, start), &icalrecur_iterator_free);
        if (!it) return;
        // Without a count the rule can start at the window: a rule from year 1 costs no more.
        if (recurrence.count == 0 && start.year < mYear - 1) {
            icaltimetype from = start;
            from.year = mYear - 1;
            from.month = 1;
            from.day = 1;
            icalrecur_iterator_set_start(it.get(), from);
        }
        for (;;) {
            if (mSteps <= 0) {
                ++Unexpanded;
                return;
            }
            --mSteps;
            const icaltimetype t = icalrecur_iterator_next(it.get());
            if (icaltime_is_null_time(t) || t.year > mYear + 5) return;
            TDate d;
            if (t.year >= mYear - 1 && DateOf(t, d)) AddSpan(d, span);
        }
    }

    void Finish(THolidayImport& result) {
        for (size_t i = 0; i < mDays.size(); ++i) {
            if (!mDays[i]) continue;
            if (result.Dates.size() < kMaxImportedHolidays)
                result.Dates.push_back(kFirstItemDate + static_cast<TDate>(i));
            else
                ++result.Skipped;
        }
        result.Unexpanded = Unexpanded;
    }

    size_t Unexpanded = 0;

private:
    void AddSpan(TDate first, int span) { // only days an item can have matter
        for (TDate d = std::max(first, kFirstItemDate); d < first + span && d <= kLastItemDate; ++d)
            mDays[static_cast<size_t>(d - kFirstItemDate)] = true;
    }

    std::vector<bool> mDays; // one per item day: the same day from many events costs nothing more
    int mYear;
    long mSteps = kRuleSteps;
};

// The content lines of the calendar's events, unfolded; each event goes to the collector whole.
class TEventSplitter {
public:
    explicit TEventSplitter(TDayCollector& days) : mDays(days) {}

    // One physical line; a line that starts with a space or a tab continues the one before.
    void Add(std::string_view line) {
        if (!line.empty() && (line[0] == ' ' || line[0] == '\t')) {
            if (mLine.size() + line.size() > kMaxContentLine) mTooLong = true;
            if (!mTooLong) mLine.append(line.substr(1));
            return;
        }
        Flush();
        mTooLong = line.size() > kMaxContentLine;
        if (!mTooLong) mLine.assign(line);
    }

    void Flush() {
        if (!mTooLong && !mLine.empty()) Content(TrimEnd(mLine));
        mLine.clear();
        mTooLong = false;
    }

    bool SawCalendar = false;

private:
    void Content(std::string_view line) {
        if (SameText(line, "BEGIN:VCALENDAR")) SawCalendar = mInCalendar = true;
        if (!mInCalendar) return;
        if (StartsWith(line, "BEGIN:")) {
            if (mDepth++ == 1 && SameText(line, "BEGIN:VEVENT")) {
                mInEvent = true;
                mEvent = "BEGIN:VEVENT\r\n";
                mHave = 0;
            }
            return;
        }
        if (StartsWith(line, "END:")) {
            if (--mDepth == 1 && mInEvent) mDays.AddEvent(mEvent + "END:VEVENT\r\n");
            if (mDepth <= 1) mInEvent = false;
            if (mDepth <= 0) {
                mInCalendar = false;
                mDepth = 0;
            }
            return;
        }
        if (!mInEvent || mDepth != 2) return;
        // Only what names days, and each only once: a libical event never looks at a second one.
        static constexpr std::string_view kWanted[] = {"DTSTART", "DTEND", "RRULE"};
        const std::string_view name = line.substr(0, line.find_first_of(";:"));
        for (unsigned i = 0; i < 3; ++i)
            if (SameText(name, kWanted[i]) && !(mHave & (1u << i))) {
                mHave |= 1u << i;
                (mEvent += line) += "\r\n";
            }
    }

    TDayCollector& mDays;
    std::string mLine, mEvent;
    bool mTooLong = false, mInCalendar = false, mInEvent = false;
    int mDepth = 0; // open components, the calendar's own included
    unsigned mHave = 0;
};
} // namespace

THolidayImport HolidayDatesOfICalendar(std::string_view text, TDate today, const THolidayProgress& progress) {
    THolidayImport result;
    TDayCollector days(today);
    TEventSplitter splitter(days);
    const size_t step = std::max<size_t>(text.size() / kProgressSteps, 1);
    size_t nextReport = step;
    TLineReader reader(text);
    std::string_view line;
    while (reader.Next(line)) {
        splitter.Add(line);
        const auto done = static_cast<size_t>(line.data() - text.data()) + line.size();
        if (progress && done >= nextReport) {
            nextReport = done + step;
            if (!progress(done, text.size())) {
                result.Cancelled = true;
                return result;
            }
        }
    }
    splitter.Flush();
    if (!splitter.SawCalendar) throw EQuilloError("iCalendarのファイルではありません。");
    days.Finish(result);
    return result;
}

} // namespace quillo
