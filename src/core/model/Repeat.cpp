// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/Repeat.h"

#include "base/Cp932.h"
#include "base/StrUtil.h"
#include "model/Calendar.h"

#include <algorithm>
#include <cmath>

namespace quillo {

namespace {
bool IsUnit(char c) {
    return c == ruDay || c == ruWeek || c == ruMonth || c == ruYear || c == ruWorkday;
}

// The same day `months` months later, or that month's last day when it is shorter.
std::optional<TDate> AddMonths(TDate from, long long months) {
    int y, m, d;
    DecodeDate(from, y, m, d);
    const long long total = y * 12LL + (m - 1) + months;
    if (total / 12 > 9999) return std::nullopt;
    const int year = static_cast<int>(total / 12), month = static_cast<int>(total % 12) + 1;
    TDate out;
    for (int day = d; day >= std::min(d, 28); --day)
        if (TryEncodeItemDate(year, month, day, out)) return out;
    return std::nullopt;
}

// The first day on or after `from` by which `count` days have counted since `from` (itself
// included); the counts only grow, so the day is found by halving. Nullopt past the last item date.
std::optional<TDate> CountedDayAfter(const TCalendar& calendar, int holidayMode, TDate from, int count) {
    if (count <= 0) return from;
    if (from > kLastItemDate || calendar.CountDays(holidayMode, from, kLastItemDate) < count) return std::nullopt;
    TDate lo = from, hi = kLastItemDate;
    while (lo < hi) {
        const TDate mid = std::floor((lo + hi) / 2);
        if (calendar.CountDays(holidayMode, from, mid) >= count)
            hi = mid;
        else
            lo = mid + 1;
    }
    return lo;
}

std::optional<TDate> Advance(const TRepeatRule& rule, TDate from, int holidayMode, const TCalendar& calendar) {
    switch (rule.Unit) {
    case ruDay:
        return from + rule.Count;
    case ruWeek:
        return from + 7.0 * rule.Count;
    case ruMonth:
        return AddMonths(from, rule.Count);
    case ruYear:
        return AddMonths(from, 12LL * rule.Count);
    case ruWorkday:
        return CountedDayAfter(calendar, holidayMode, from + 1, rule.Count);
    }
    return std::nullopt;
}

std::string Shown(std::string_view text) {
    return Cp932ToUtf8(ReplaceAll(text, "%25;", "%"));
}
} // namespace

std::optional<TRepeatRule> ParseRepeatRule(std::string_view text) {
    TRepeatRule rule;
    if (text.substr(0, 2) == ".+") {
        rule.FromDone = true;
        text.remove_prefix(2);
    } else if (text.substr(0, 1) == "+") {
        text.remove_prefix(1);
    } else {
        return std::nullopt;
    }
    if (text.size() < 2 || text.size() > 5 || text[0] == '0' || !IsUnit(text.back())) return std::nullopt;
    int count = 0;
    for (char c : text.substr(0, text.size() - 1)) {
        if (c < '0' || c > '9') return std::nullopt;
        count = count * 10 + (c - '0');
    }
    rule.Count = count;
    rule.Unit = static_cast<TRepeatUnit>(text.back());
    return rule;
}

std::string RepeatRuleText(const TRepeatRule& rule) {
    return (rule.FromDone ? ".+" : "+") + std::to_string(rule.Count) + static_cast<char>(rule.Unit);
}

std::string DescribeRepeatRule(std::string_view text) {
    struct TWords {
        TRepeatUnit Unit;
        const char* Every; // a count of one
        const char* Each;  // after a larger count
    };
    static const TWords kWords[] = {{ruDay, "毎日", "日"},
                                    {ruWeek, "毎週", "週"},
                                    {ruMonth, "毎月", "か月"},
                                    {ruYear, "毎年", "年"},
                                    {ruWorkday, "毎稼働日", "稼働日"}};
    const auto rule = ParseRepeatRule(text);
    if (!rule) return "解釈できない繰り返し「" + Shown(text) + "」";
    const TWords& w =
        *std::find_if(std::begin(kWords), std::end(kWords), [&](const TWords& x) { return x.Unit == rule->Unit; });
    std::string out = rule->Count == 1 ? w.Every : std::to_string(rule->Count) + w.Each + "ごと";
    if (rule->FromDone) out += "（完了日から）";
    return out;
}

std::string RepeatHint(std::string_view text) {
    const std::string words = DescribeRepeatRule(text);
    if (!ParseRepeatRule(text))
        return words + "|繰り返しの指定「" + Shown(text) +
               "」は解釈できないため、完了にしても次の予定は作られません。指定はそのまま保存されます。";
    return "繰り返し：" + words + "|繰り返し：" + words + "。完了にすると次の予定を作ります。";
}

std::optional<TOccurrence> NextOccurrence(const TRepeatRule& rule, TDate begin, TDate end, int holidayMode,
                                          const TCalendar& calendar, TDate today) {
    const TDate anchor = begin > 0 ? begin : end;
    if (anchor <= 0) return TOccurrence{}; // nothing planned, nothing to move
    const auto moved = Advance(rule, rule.FromDone ? today : anchor, holidayMode, calendar);
    if (!moved || !IsItemDate(*moved)) return std::nullopt;
    TOccurrence next;
    if (begin <= 0) {
        next.End = *moved;
        return next;
    }
    next.Begin = *moved;
    if (end <= 0) return next;
    if (rule.Unit == ruWorkday) {
        const auto last =
            CountedDayAfter(calendar, holidayMode, next.Begin, calendar.CountDays(holidayMode, begin, end));
        if (!last) return std::nullopt;
        next.End = *last;
    } else {
        next.End = next.Begin + (end - begin);
    }
    if (!IsItemDate(next.End)) return std::nullopt;
    return next;
}

} // namespace quillo
