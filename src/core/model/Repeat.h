// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Recurring to-dos: the rule a to-do carries in its extra text ("+1w", ".+3d", "+5b") and the
// dates of the occurrence that follows it once it is checked.
#include "base/Date.h"

#include <optional>
#include <string>
#include <string_view>

namespace quillo {

class TCalendar;

enum TRepeatUnit : char { ruDay = 'd', ruWeek = 'w', ruMonth = 'm', ruYear = 'y', ruWorkday = 'b' };

constexpr int kMaxRepeatCount = 9999;

struct TRepeatRule {
    bool FromDone = false; // ".+": from the day it was checked instead of from its planned dates
    int Count = 1;         // 1 .. kMaxRepeatCount
    TRepeatUnit Unit = ruWeek;
    bool operator==(const TRepeatRule&) const = default;
};

// Only the form the program writes, so that a rule it reads is written back as it was; any other
// text is no rule to the program, and the item keeps it untouched.
std::optional<TRepeatRule> ParseRepeatRule(std::string_view text);
std::string RepeatRuleText(const TRepeatRule& rule);

// `text` is a rule as an item holds it (cp932, "%" still escaped); the results are UTF-8.
// The rule in words: 毎週, 3日ごと（完了日から）, 5稼働日ごと; a text that is no rule says so.
std::string DescribeRepeatRule(std::string_view text);
// The hint of the repeat mark ("short|long").
std::string RepeatHint(std::string_view text);

struct TOccurrence {
    TDate Begin = 0, End = 0; // 0: not set
};

// The dates of the occurrence after `begin`..`end` (either may be 0), checked on `today`: the
// begin (or, without one, the end) moved by the rule, the length kept, in counted days for
// working-day rules. Nullopt when a date would leave the item range.
std::optional<TOccurrence> NextOccurrence(const TRepeatRule& rule, TDate begin, TDate end, int holidayMode,
                                          const TCalendar& calendar, TDate today);

} // namespace quillo
