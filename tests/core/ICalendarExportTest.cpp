// SPDX-License-Identifier: GPL-3.0-or-later
// The iCalendar export read back by libical: UIDs that outlive edits, and RRULEs that agree with
// the program's own next occurrence. (ics_check.py reads the dates with python3-icalendar.)
#include "core/TestTree.h"
#include "edit/Editor.h"
#include "edit/ICalendar.h"
#include "model/Document.h"
#include "model/Repeat.h"
#include "model/ScheduleFormat.h"

#include <gtest/gtest.h>
#include <libical/ical.h>

#include <cstdio>
#include <map>
#include <memory>
#include <random>

using namespace quillo;
using namespace quillo::test;

namespace {
const TDate kToday = D(2024, 5, 3);

struct TTodo {
    std::string Summary;
    int Start = 0, Due = 0; // yyyymmdd, 0 when absent
    std::string Rule;       // the RRULE as text
};

int Day(const icaltimetype& t) {
    return icaltime_is_null_time(t) ? 0 : t.year * 10000 + t.month * 100 + t.day;
}

// The VTODOs by UID, each with what these tests look at.
std::map<std::string, TTodo> Read(const std::string& ics) {
    std::unique_ptr<icalcomponent, decltype(&icalcomponent_free)> cal(icalparser_parse_string(ics.c_str()),
                                                                      &icalcomponent_free);
    EXPECT_TRUE(cal);
    std::map<std::string, TTodo> out;
    if (!cal) return out;
    for (icalcomponent* c = icalcomponent_get_first_component(cal.get(), ICAL_VTODO_COMPONENT); c;
         c = icalcomponent_get_next_component(cal.get(), ICAL_VTODO_COMPONENT)) {
        TTodo t{icalcomponent_get_summary(c), Day(icalcomponent_get_dtstart(c)), Day(icalcomponent_get_due(c)), ""};
        EXPECT_TRUE(!t.Start || !t.Due || t.Due > t.Start) << t.Summary; // as RFC 5545 asks
        if (icalproperty* r = icalcomponent_get_first_property(c, ICAL_RRULE_PROPERTY))
            t.Rule = icalproperty_get_value_as_string(r);
        EXPECT_TRUE(out.emplace(icalcomponent_get_uid(c), t).second) << "a UID twice: " << t.Summary;
    }
    return out;
}

struct TExport : ::testing::Test, TTestDocument {
    TExport() : TTestDocument(kToday) {}
    std::map<std::string, TTodo> Exported() const {
        return Read(ScheduleToICalendar(Doc.Nodes(), "/home/u/plan.qlp", kToday, &Calendar));
    }
};
} // namespace

// A re-import finds each to-do again after its dates moved, it was checked, its memo and link
// changed, and same-named siblings keep apart. (Counting namesakes, a to-do after a repeating
// namesake would take a new UID when that one's next occurrence comes.)
TEST_F(TExport, UidsOutliveShiftsChecksAndEdits) {
    Load("{\nF|f||+\n{\nI|w|0|-|-|-|-|-|-|0|\nI|w|1|2024|4|29|2024|4|29|0|\nI|w|0|2024|5|6|2024|5|6|0|%rb;+1w%re;\n"
         "I|x|0|2024|5|1|2024|5|9|0|\n}\nI|y|0|-|-|-|-|-|-|0|\n}");
    const auto before = Exported();
    ASSERT_EQ(before.size(), 6u);
    Editor.ShiftDates(Find("f"), 3, 3);
    TTreeNode* current = Find("f")->Item(2);
    Editor.SetDone(current, true); // its next occurrence stands right after it
    ASSERT_EQ(Find("f")->Count(), 5);
    Editor.ChangeItem(Find("x"), [](TSchItem& i) {
        i.Memo = "memo";
        i.Link = "http://x/";
    });
    const auto after = Exported();
    ASSERT_EQ(after.size(), 7u);
    for (const auto& [uid, t] : before) {
        ASSERT_TRUE(after.count(uid)) << t.Summary;
        EXPECT_EQ(after.at(uid).Summary, t.Summary);
    }
    // The checked one kept its UID; the next occurrence is the new one.
    std::vector<std::string> fresh;
    for (const auto& [uid, t] : after)
        if (!before.count(uid)) fresh.push_back(uid);
    ASSERT_EQ(fresh.size(), 1u);
    EXPECT_EQ(after.at(fresh[0]).Due, 20240516);
    EXPECT_EQ(after.at(fresh[0]).Rule, "FREQ=WEEKLY");
}

// The RRULE's second instance, as libical expands it, is where the program puts the next
// occurrence: days, weeks, months and years exactly, working days on a week without holidays.
TEST_F(TExport, RRulesAgreeWithTheNextOccurrence) {
    std::mt19937 rng(11);
    static const TRepeatUnit kUnits[] = {ruDay, ruWeek, ruMonth, ruYear, ruWorkday};
    for (int round = 0; round < 400; ++round) {
        TRepeatRule rule{false, static_cast<int>(rng() % 12) + 1, kUnits[rng() % 5]};
        TDate begin = D(2023, 1, 1) + static_cast<int>(rng() % 800);
        if (round % 10 == 0) begin = D(2024, 1 + static_cast<int>(rng() % 12), 1) - 1; // a month's last day
        if (rule.Unit == ruWorkday) {
            rule.Count = rng() % 2 ? 1 : 5 * static_cast<int>(rng() % 3 + 1);
            while (Calendar.LevelOfDate(begin) != dlWorkday)
                ++begin;
        }
        const std::string text = RepeatRuleText(rule);
        int y, m, d;
        DecodeDate(begin, y, m, d);
        Load("{\nI|r|0|" + std::to_string(y) + "|" + std::to_string(m) + "|" + std::to_string(d) + "|-|-|-|0|%rb;" +
             text + "%re;\n}");
        const auto todos = Exported();
        ASSERT_EQ(todos.size(), 1u);
        const TTodo& t = todos.begin()->second;
        ASSERT_FALSE(t.Rule.empty()) << text;
        icalrecurrencetype recur = icalrecurrencetype_from_string(t.Rule.c_str());
        char day[16];
        std::snprintf(day, sizeof day, "%04d%02d%02d", y, m, d);
        const icaltimetype start = icaltime_from_string(day);
        std::unique_ptr<icalrecur_iterator, decltype(&icalrecur_iterator_free)> it(icalrecur_iterator_new(recur, start),
                                                                                   &icalrecur_iterator_free);
        ASSERT_TRUE(it) << t.Rule;
        const int first = Day(icalrecur_iterator_next(it.get())), second = Day(icalrecur_iterator_next(it.get()));
        const TDate next = NextOccurrence(rule, begin, 0, 0, Calendar, kToday)->Begin;
        DecodeDate(next, y, m, d);
        EXPECT_EQ(first, Day(start)) << text << " " << t.Rule;
        EXPECT_EQ(second, y * 10000 + m * 100 + d) << text << " " << t.Rule << " from " << Day(start);
    }
}
