// SPDX-License-Identifier: GPL-3.0-or-later
// Recurring to-dos: the next occurrence's dates against a count made day by day, checking one
// through the editor with its single history step, and the rule kept wherever items go.
#include "model/Repeat.h"
#include "base/Clock.h"
#include "base/Exceptions.h"
#include "base/StrUtil.h"
#include "cli/CliRunner.h"
#include "core/TestTree.h"
#include "edit/Transfer.h"
#include "model/ScheduleFormat.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

using namespace quillo;
using namespace quillo::test;

namespace {
const TDate kToday = D(2024, 5, 3);             // a Friday
const std::string kWeekly = "\x8F\x54\x95\xF1"; // 週報
const std::string kData = QUILLO_TEST_DATA;

std::optional<TOccurrence> Next(const TCalendar& cal, const char* rule, TDate begin, TDate end, TDate today = kToday) {
    return NextOccurrence(*ParseRepeatRule(rule), begin, end, 0, cal, today);
}

// The reference: one day after another, by the levels' plain rule.
int CountedBetween(const TCalendar& cal, int mode, TDate from, TDate to) {
    int n = 0;
    for (TDate d = from; d <= to; ++d)
        n += cal.LevelOfDateLiteral(d) <= std::max({0, cal.HolidayLv, mode});
    return n;
}
} // namespace

TEST(Repeat, RulesAndTheirWords) {
    for (const char* text : {"+1d", "+12m", "+1y", ".+3d", "+9999b"})
        EXPECT_EQ(RepeatRuleText(*ParseRepeatRule(text)), text); // written back as read
    for (const char* text : {"", "+0d", "+01w", "++1w", "+1h", " +1w", ".+10000d", "+1W", "+-1d", "+w"})
        EXPECT_FALSE(ParseRepeatRule(text)) << text;
    EXPECT_EQ(DescribeRepeatRule("+1w"), "毎週");
    EXPECT_EQ(DescribeRepeatRule(".+3d"), "3日ごと（完了日から）");
    EXPECT_EQ(DescribeRepeatRule("+5b"), "5稼働日ごと");
    EXPECT_EQ(DescribeRepeatRule("50%25;x"), "解釈できない繰り返し「50%x」");
}

TEST(Repeat, WorkingDaysFollowTheCalendarAndMonthsEndOnTheirLastDay) {
    TCalendar cal; // Sunday a holiday, Saturday a half holiday, working days only
    const TDate friday = D(2024, 5, 10);
    EXPECT_EQ(Next(cal, "+5b", friday, friday)->Begin, D(2024, 5, 17));
    cal.SetLevelOfDate(D(2024, 5, 15), dlHoliday); // the Wednesday between
    EXPECT_EQ(Next(cal, "+5b", friday, friday)->End, D(2024, 5, 20));
    const auto feb = Next(cal, ".+1m", D(2024, 1, 20), D(2024, 1, 22), D(2024, 1, 31));
    EXPECT_EQ(feb->Begin, D(2024, 2, 29));
    EXPECT_EQ(feb->End, D(2024, 3, 2));
    EXPECT_EQ(Next(cal, "+1m", 0, D(2023, 1, 31))->End, D(2023, 2, 28)); // only an end date: it moves
    EXPECT_FALSE(Next(cal, "+1w", D(9999, 12, 20), D(9999, 12, 25)));    // past what a file holds
    EXPECT_FALSE(Next(cal, "+3b", D(9999, 12, 29), 0));
}

// For random calendars, rules and dates: the new begin (or lone end) is where a day-by-day count
// lands, and the length is kept, in counted days for working-day rules.
TEST(Repeat, NextOccurrenceAgreesWithADayByDayCount) {
    std::mt19937 rng(30);
    static const TRepeatUnit kUnits[] = {ruDay, ruWeek, ruMonth, ruYear, ruWorkday};
    for (int round = 0; round < 3000; ++round) {
        TCalendar cal;
        cal.HolidayLv = static_cast<int>(rng() % 3);
        for (int dow = 1; dow <= 7; ++dow)
            cal.SetWeekdayLevel(dow, static_cast<int>(rng() % 3));
        cal.SetWeekdayLevel(static_cast<int>(rng() % 7) + 1, dlWorkday); // some day of each week counts
        const TDate base = D(2024, 1, 1) + static_cast<int>(rng() % 800);
        for (int i = 0; i < 6; ++i)
            cal.SetLevelOfDate(base + static_cast<int>(rng() % 60), static_cast<int>(rng() % 3));
        const TRepeatRule rule{rng() % 2 == 0, static_cast<int>(rng() % 30) + 1, kUnits[rng() % 5]};
        const int mode = static_cast<int>(rng() % 3);
        const TDate begin = rng() % 5 ? base : 0, end = rng() % 5 ? base + static_cast<int>(rng() % 15) : 0;
        const TDate today = base + static_cast<int>(rng() % 30) - 10;
        const auto next = NextOccurrence(rule, begin, end, mode, cal, today);
        ASSERT_TRUE(next);
        const TDate from = rule.FromDone ? today : begin > 0 ? begin : end;
        if (begin + end == 0) {
            EXPECT_EQ(next->Begin + next->End, 0);
            continue;
        }
        int y, m, d;
        DecodeDate(from, y, m, d);
        const int months = rule.Unit == ruMonth ? rule.Count : 12 * rule.Count;
        TDate expected = from;
        if (rule.Unit == ruDay || rule.Unit == ruWeek) {
            expected += rule.Count * (rule.Unit == ruWeek ? 7 : 1);
        } else if (rule.Unit == ruWorkday) {
            for (int left = rule.Count; left > 0;) {
                ++expected;
                left -= CountedBetween(cal, mode, expected, expected);
            }
        } else {
            while (!TryEncodeDate((y * 12 + m - 1 + months) / 12, (y * 12 + m - 1 + months) % 12 + 1, d--, expected)) {
            }
        }
        const std::string where = "round " + std::to_string(round) + " " + RepeatRuleText(rule);
        ASSERT_EQ(begin > 0 ? next->Begin : next->End, expected) << where;
        if (begin == 0 || end == 0) {
            EXPECT_EQ(begin > 0 ? next->End : next->Begin, 0) << where;
        } else if (rule.Unit != ruWorkday) {
            EXPECT_EQ(next->End - next->Begin, end - begin) << where;
        } else { // as many counted days, and no day more than it takes
            const int length = CountedBetween(cal, mode, begin, end);
            EXPECT_EQ(CountedBetween(cal, mode, next->Begin, next->End), std::max(length, 1)) << where;
            EXPECT_LT(CountedBetween(cal, mode, next->Begin, next->End - 1), std::max(length, 1)) << where;
        }
    }
}

namespace {
struct TRepeatEdit : ::testing::Test, TTestDocument {
    TRepeatEdit() : TTestDocument(kToday) {}
};

std::string Crlf(const std::string& lines) {
    return ReplaceAll(Tabs(lines), "\n", "\r\n");
}
} // namespace

TEST_F(TRepeatEdit, CheckingLeavesHistoryAndAddsTheNextOccurrenceAsOneStep) {
    Load("{\nF|f||+\n{\nI|z|0|-|-|-|-|-|-|0|\nI|" + kWeekly +
         "|0|2024|5|6|2024|5|6|1|%mb;m%me;%lb;l%le;%rb;+1w%re;\n"
         "I|last|0|9999|12|28|-|-|-|0|%rb;+1w%re;\nI|odd|0|-|-|-|-|-|-|0|%rb;every 2nd%re;\n}\n}");
    const std::string start = Lines();
    Editor.SetDone(Find(kWeekly), true);
    const std::string checked =
        Crlf("{\nF|f||+\n{\nI|z|0|-|-|-|-|-|-|0|\nI|" + kWeekly + "|1|2024|5|6|2024|5|6|1|%mb;m%me;%lb;l%le;\nI|" +
             kWeekly + "|0|2024|5|13|2024|5|13|1|%mb;m%me;%lb;l%le;%rb;+1w%re;\n");
    EXPECT_EQ(Lines().substr(0, checked.size()), checked);
    EXPECT_EQ(Find(kWeekly, 1)->Data()->State, ssWaiting); // evaluated like any new item
    EXPECT_EQ(Doc.History.Count(), 1u);
    Editor.Undo();
    EXPECT_EQ(Lines(), start);
    Editor.Redo();
    const std::string redone = Lines();
    EXPECT_EQ(redone.substr(0, checked.size()), checked);
    // Unchecking keeps the next one; the history has no rule to go on with.
    Editor.SetDone(Find(kWeekly), false);
    Editor.SetDone(Find(kWeekly), true);
    EXPECT_EQ(Lines(), redone);
    // Any way of checking counts: here a dialog's, that renames as well.
    Editor.ChangeItem(Find(kWeekly, 1), [](TSchItem& i) {
        i.SetName("w");
        i.Checked = true;
    });
    EXPECT_EQ(Find("w", 1)->Data()->BeginDate, D(2024, 5, 20));
    EXPECT_TRUE(Find("w")->Data()->Repeat.empty());

    // Past the last date a file holds, nothing changes and the user is told; a rule the program
    // does not know is only kept.
    const std::string before = Lines();
    const size_t steps = Doc.History.Count();
    EXPECT_THROW(Editor.SetDone(Find("last"), true), EQuilloError);
    EXPECT_EQ(Find("last")->Data()->State, ssWaiting);
    Editor.SetDone(Find("odd"), true);
    EXPECT_EQ(Lines(), ReplaceAll(before, "odd\t0", "odd\t1"));
    EXPECT_EQ(Doc.History.Count(), steps + 1);
}

// Only the change from open to done goes on with the rule: a to-do that a file holds as done with
// its rule (written by hand, or by another program) is renamed and confirmed without a new one.
TEST_F(TRepeatEdit, AToDoAlreadyDoneMakesNoNextOccurrence) {
    Load("{\nI|kept|1|2024|5|6|2024|5|6|0|%rb;+1w%re;\n}");
    const size_t count = Doc.Nodes().Count();
    Editor.Rename(Find("kept"), "renamed");
    Editor.ChangeItem(Find("renamed"), [](TSchItem& i) { i.Checked = true; });
    Editor.SetDone(Find("renamed"), true);
    EXPECT_EQ(Doc.Nodes().Count(), count);
    EXPECT_EQ(Find("renamed")->Data()->Repeat, "+1w");
}

// Rules ride in the extra text: a file keeps them byte for byte, a paste brings them along, and
// the terminal program lists them last.
TEST_F(TRepeatEdit, RulesGoWhereverTheItemsGo) {
    const std::string text = ReadFile(kData + "/repeat.qlp");
    TTestSchedule s(kToday);
    s.Load(text);
    EXPECT_EQ(BuildScheduleText(s.Nodes, kToday, false, kToday + (18 * 3600 + 30 * 60 + 5) / 86400.0), text);
    EXPECT_EQ(s.Item("folder")->Repeat, "+1w"); // a folder is never given one, but keeps what it has

    Load("{\nI|r|1|2024|5|6|2024|5|6|2|%rb;.+2b%re;\n}");
    PasteText(Doc, Editor, Find("r"), TransferText(Find("r"), kToday, kToday, kClippedBanner), [] { return true; });
    EXPECT_EQ(Find("r", 1)->Data()->Repeat, ".+2b");
    EXPECT_EQ(Doc.Root()->Count(), 2); // undone by the paste's question, which makes no occurrence
    TTreeNode* folder = Editor.ToDoToFolder(Find("r"));
    EXPECT_TRUE(folder->Data()->Repeat.empty()); // the to-do inside keeps it
    EXPECT_EQ(folder->GetFirstChild()->Data()->Repeat, ".+2b");

    std::ostringstream out, err;
    TTempDir config;
    ASSERT_EQ(
        RunCli({"list", kData + "/repeat.qlp", "--tsv", "--config-dir", config.Path()}, out, err, TFixedClock(kToday)),
        0);
    std::vector<std::string> rules;
    const std::string listed = out.str();
    for (std::string_view line : SplitLines(listed))
        if (!line.empty()) rules.emplace_back(line.substr(line.rfind('\t') + 1));
    EXPECT_EQ(rules, (std::vector<std::string>{"", "+1w", "", "+1w", ".+3d", "+1m", "+5b", "every 2nd tue", "5%x",
                                               "5%x", ""}));
}
