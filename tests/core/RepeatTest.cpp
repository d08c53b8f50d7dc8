// SPDX-License-Identifier: GPL-3.0-or-later
// Recurring to-dos: the rule's text, the next occurrence's dates against a count made day by day,
// and checking one through the editor, with its single history step.
#include "model/Repeat.h"
#include "base/Clock.h"
#include "base/Exceptions.h"
#include "base/StrUtil.h"
#include "cli/CliRunner.h"
#include "core/TestTree.h"
#include "edit/Editor.h"
#include "edit/Transfer.h"
#include "model/Document.h"
#include "model/ScheduleFormat.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

using namespace quillo;
using namespace quillo::test;

namespace {
const TDate kToday = D(2024, 5, 3);             // a Friday
const std::string kWeekly = "\x8F\x54\x95\xF1"; // 週報

std::optional<TOccurrence> Next(const TCalendar& cal, const char* rule, TDate begin, TDate end, int mode = 0,
                                TDate today = kToday) {
    return NextOccurrence(*ParseRepeatRule(rule), begin, end, mode, cal, today);
}

// The reference: one day after another, by the levels' plain rule.
bool Counts(const TCalendar& cal, int mode, TDate d) {
    return cal.LevelOfDateLiteral(d) <= std::max({0, cal.HolidayLv, mode});
}
int CountedBetween(const TCalendar& cal, int mode, TDate from, TDate to) {
    int n = 0;
    for (TDate d = from; d <= to; ++d)
        n += Counts(cal, mode, d);
    return n;
}
TDate MonthsLater(TDate from, int months) {
    int y, m, d;
    DecodeDate(from, y, m, d);
    const int total = y * 12 + m - 1 + months;
    TDate out = 0;
    while (!TryEncodeDate(total / 12, total % 12 + 1, d, out))
        --d;
    return out;
}
} // namespace

TEST(Repeat, RulesAreReadOnlyInTheFormTheyAreWritten) {
    for (const char* text : {"+1d", "+2w", "+12m", "+1y", "+5b", ".+3d", ".+1m", "+9999b"}) {
        const auto rule = ParseRepeatRule(text);
        ASSERT_TRUE(rule) << text;
        EXPECT_EQ(RepeatRuleText(*rule), text);
    }
    for (const char* text : {"", "+", "1w", "+0d", "+01w", "++1w", "+1h", "+1 w", " +1w", "+1w ", ".+10000d", "+1W",
                             "-1d", ".1d", "+-1d", "+1%25;w", "+w"})
        EXPECT_FALSE(ParseRepeatRule(text)) << text;
    EXPECT_EQ(DescribeRepeatRule("+1w"), "毎週");
    EXPECT_EQ(DescribeRepeatRule(".+3d"), "3日ごと（完了日から）");
    EXPECT_EQ(DescribeRepeatRule("+5b"), "5稼働日ごと");
    EXPECT_EQ(DescribeRepeatRule("50%25;x"), "解釈できない繰り返し「50%x」");
}

TEST(Repeat, WorkingDaysFollowTheCalendarAndMonthsKeepToTheirLastDay) {
    TCalendar cal; // Sunday a holiday, Saturday a half holiday, working days only
    const TDate friday = D(2024, 5, 10);
    EXPECT_EQ(Next(cal, "+5b", friday, friday)->Begin, D(2024, 5, 17));
    cal.SetLevelOfDate(D(2024, 5, 15), dlHoliday); // the Wednesday between
    const auto moved = Next(cal, "+5b", friday, friday);
    EXPECT_EQ(moved->Begin, D(2024, 5, 20));
    EXPECT_EQ(moved->End, D(2024, 5, 20));
    // Friday to Tuesday are three working days; so are Monday to Thursday around that Wednesday.
    EXPECT_EQ(Next(cal, "+1b", friday, D(2024, 5, 14))->End, D(2024, 5, 16));
    EXPECT_EQ(Next(cal, "+5b", friday, friday, 2)->Begin, friday + 5); // its own mode counts every day

    // ".+": from the day it is checked; the length in calendar days stays.
    const auto feb = Next(cal, ".+1m", D(2024, 1, 20), D(2024, 1, 22), 0, D(2024, 1, 31));
    EXPECT_EQ(feb->Begin, D(2024, 2, 29));
    EXPECT_EQ(feb->End, D(2024, 3, 2));
    EXPECT_EQ(Next(cal, ".+1m", D(2023, 1, 2), D(2023, 1, 2), 0, D(2023, 1, 31))->Begin, D(2023, 2, 28));
    EXPECT_EQ(Next(cal, "+1y", D(2024, 2, 29), 0)->Begin, D(2025, 2, 28));
    const auto endOnly = Next(cal, "+1m", 0, D(2024, 1, 31));
    EXPECT_EQ(endOnly->Begin, 0);
    EXPECT_EQ(endOnly->End, D(2024, 2, 29));
    EXPECT_EQ(Next(cal, ".+3d", 0, 0)->End, 0); // nothing planned stays unplanned

    // Past the last day a file can hold there is no next occurrence.
    EXPECT_FALSE(Next(cal, "+1w", D(9999, 12, 25), D(9999, 12, 25)));
    EXPECT_FALSE(Next(cal, "+1d", D(9999, 12, 20), D(9999, 12, 31)));
    EXPECT_FALSE(Next(cal, "+1y", D(9999, 1, 1), 0));
    EXPECT_FALSE(Next(cal, "+3b", D(9999, 12, 29), 0));
    EXPECT_FALSE(Next(cal, ".+9999y", 0, D(2024, 1, 1)));
}

// For random calendars, rules and dates: the new begin is where a day-by-day count lands, and the
// length is kept (in counted days for working-day rules, ending on the first day that keeps it).
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
        TDate begin = base, end = base + static_cast<int>(rng() % 15);
        if (rng() % 5 == 0) begin = 0;
        if (rng() % 5 == 0) end = 0;
        const TDate today = base + static_cast<int>(rng() % 30) - 10;
        const auto next = NextOccurrence(rule, begin, end, mode, cal, today);
        ASSERT_TRUE(next);
        const TDate anchor = begin > 0 ? begin : end;
        if (anchor == 0) {
            EXPECT_EQ(next->Begin + next->End, 0);
            continue;
        }
        const TDate from = rule.FromDone ? today : anchor;
        TDate expected = from;
        switch (rule.Unit) {
        case ruDay:
            expected += rule.Count;
            break;
        case ruWeek:
            expected += 7 * rule.Count;
            break;
        case ruMonth:
            expected = MonthsLater(from, rule.Count);
            break;
        case ruYear:
            expected = MonthsLater(from, 12 * rule.Count);
            break;
        case ruWorkday:
            for (int left = rule.Count; left > 0;)
                left -= Counts(cal, mode, ++expected);
            break;
        }
        const std::string where = "round " + std::to_string(round) + " rule " + RepeatRuleText(rule);
        ASSERT_EQ(begin > 0 ? next->Begin : next->End, expected) << where;
        if (begin == 0 || end == 0) {
            EXPECT_EQ(begin > 0 ? next->End : next->Begin, 0) << where;
        } else if (rule.Unit == ruWorkday) {
            EXPECT_TRUE(Counts(cal, mode, next->Begin)) << where;
            const int length = CountedBetween(cal, mode, begin, end);
            EXPECT_EQ(CountedBetween(cal, mode, next->Begin, next->End), std::max(length, 1)) << where;
            EXPECT_TRUE(next->End == next->Begin || Counts(cal, mode, next->End)) << where;
        } else {
            EXPECT_EQ(next->End - next->Begin, end - begin) << where;
        }
    }
}

namespace {
struct TRepeatEdit : ::testing::Test, TTestDocument {
    TRepeatEdit() : TTestDocument(kToday) {}
};

std::string Crlf(const std::string& lines) {
    std::string out;
    for (char c : Tabs(lines))
        out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
}
} // namespace

TEST_F(TRepeatEdit, CheckingLeavesHistoryAndAddsTheNextOccurrenceAsOneStep) {
    Load("{\nF|f||+\n{\nI|z|0|-|-|-|-|-|-|0|\nI|" + kWeekly +
         "|0|2024|5|6|2024|5|6|1|%mb;m%me;%lb;l%le;%rb;+1w%re;\n}\n}");
    const std::string start = Lines();
    Editor.SetDone(Find(kWeekly), true);
    const std::string checked =
        Crlf("{\nF|f||+\n{\nI|z|0|-|-|-|-|-|-|0|\nI|" + kWeekly + "|1|2024|5|6|2024|5|6|1|%mb;m%me;%lb;l%le;\nI|" +
             kWeekly + "|0|2024|5|13|2024|5|13|1|%mb;m%me;%lb;l%le;%rb;+1w%re;\n}\n}\n");
    EXPECT_EQ(Lines(), checked);
    EXPECT_EQ(Find(kWeekly, 1)->Data()->State, ssWaiting); // evaluated like any new item
    EXPECT_EQ(Find("f")->Data()->EndDate, D(2024, 5, 13));
    EXPECT_EQ(Doc.History.Count(), 1u);
    Editor.Undo();
    EXPECT_EQ(Lines(), start);
    Editor.Redo();
    EXPECT_EQ(Lines(), checked);

    // Unchecking keeps the next one; checking the history again makes none (it has no rule).
    Editor.SetDone(Find(kWeekly), false);
    Editor.SetDone(Find(kWeekly), true);
    EXPECT_EQ(Lines(), checked);

    // Any way of checking counts, here a dialog that renames and checks at once.
    Editor.ChangeItem(Find(kWeekly, 1), [](TSchItem& i) {
        i.SetName("w");
        i.Checked = true;
    });
    EXPECT_EQ(Find("w", 1)->Data()->BeginDate, D(2024, 5, 20));
    EXPECT_EQ(Find("w", 1)->Data()->Repeat, "+1w");
    EXPECT_TRUE(Find("w", 0)->Data()->Repeat.empty());
}

TEST_F(TRepeatEdit, ARuleThatCannotGoOnChangesNothing) {
    Load("{\nI|last|0|9999|12|28|9999|12|28|0|%rb;+1w%re;\nI|odd|0|2024|5|6|-|-|-|0|%rb;every 2nd%re;\n"
         "I|done|1|2024|5|6|2024|5|6|0|%rb;+1d%re;\n}");
    const std::string start = Lines();
    EXPECT_THROW(Editor.SetDone(Find("last"), true), EQuilloError);
    EXPECT_EQ(Lines(), start);
    EXPECT_FALSE(Find("last")->Data()->Checked);
    EXPECT_EQ(Find("last")->Data()->State, ssWaiting); // evaluated again as unchecked
    EXPECT_EQ(Doc.History.Count(), 0u);
    // A rule the program does not know is only kept; a to-do checked already is not checked again.
    Editor.SetDone(Find("odd"), true);
    Editor.SetDone(Find("done"), true);
    EXPECT_EQ(Doc.Root()->Count(), 3);
    EXPECT_EQ(Find("odd")->Data()->Repeat, "every 2nd");
}

// Random checks, shifts, rule changes and deletes on repeating to-dos: undo walks back through
// every state, redo forward again.
TEST_F(TRepeatEdit, UndoAndRedoRetraceRandomChecks) {
    std::mt19937 rng(5);
    Load("{\nI|a|0|2024|5|6|2024|5|8|0|%rb;+2b%re;\nI|b|0|-|-|-|2024|5|9|1|%rb;.+1m%re;\nF|f||+\n{\n"
         "I|c|0|2024|5|1|-|-|-|2|%rb;+3d%re;\n}\n}");
    const std::string start = Lines();
    std::vector<std::string> after;
    int occurrences = 0;
    for (int step = 0; step < 150; ++step) {
        std::vector<TTreeNode*> todos;
        for (TTreeNode* n = Doc.Root()->GetNext(); n; n = n->GetNext())
            if (!n->Data()->IsFolder()) todos.push_back(n);
        TTreeNode* n = todos[rng() % todos.size()];
        const size_t before = Doc.History.Count();
        switch (rng() % 5) {
        case 0:
        case 1: {
            const int count = Doc.Nodes().Count();
            Editor.SetDone(n, !n->Data()->Checked);
            occurrences += Doc.Nodes().Count() - count;
            break;
        }
        case 2:
            Editor.ShiftDates(n, int(rng() % 5) - 2, int(rng() % 5) - 2);
            break;
        case 3:
            Editor.ChangeItem(n, [&](TSchItem& i) { i.Repeat = rng() % 2 ? "+1b" : ".+2w"; });
            break;
        case 4:
            if (todos.size() > 3) Editor.Delete(n);
            break;
        }
        if (Doc.History.Count() != before) after.push_back(Lines());
    }
    ASSERT_EQ(Doc.History.Count(), after.size());
    EXPECT_GT(occurrences, 10);
    const std::string end = Lines();
    for (size_t i = after.size(); i-- > 0;) {
        ASSERT_EQ(Lines(), after[i]) << "undo of step " << i;
        Editor.Undo();
    }
    EXPECT_EQ(Lines(), start);
    while (Editor.CanRedo())
        Editor.Redo();
    EXPECT_EQ(Lines(), end);
}

TEST(Repeat, FilesWithRulesAreRewrittenByteForByte) {
    TTestSchedule s(kToday);
    const std::string text = ReadFile(std::string(QUILLO_TEST_DATA) + "/repeat.qlp");
    s.Load(text);
    const TDate savedAt = kToday + (18 * 3600 + 30 * 60 + 5) / 86400.0;
    EXPECT_EQ(BuildScheduleText(s.Nodes, kToday, false, savedAt), text);
    EXPECT_EQ(s.Item("folder")->Repeat, "+1w"); // a folder is never given one, but keeps what it has
}

// Rules travel in the extra text: copied and pasted, imported, and listed by the terminal program.
TEST_F(TRepeatEdit, RulesGoWhereverTheItemsGo) {
    Load("{\nI|r|0|2024|5|6|2024|5|6|2|%mb;m%me;%rb;.+2b%re;\nI|odd|1|-|-|-|-|-|-|0|%rb;5%25;x%re;\n}");
    PasteText(Doc, Editor, Find("r"), TransferText(Find("r"), kToday, kToday, kClippedBanner), [] { return true; });
    EXPECT_EQ(Find("r", 1)->Data()->Repeat, ".+2b");
    EXPECT_EQ(Find("r", 1)->Data()->Memo, "m");
    PasteText(Doc, Editor, Doc.Root(), TransferText(Find("odd"), kToday, kToday, kClippedBanner), [] { return true; });
    EXPECT_EQ(Find("odd", 1)->Data()->Repeat, "5%25;x"); // undone by the paste's question, and no occurrence
    EXPECT_FALSE(Find("odd", 1)->Data()->Checked);
    EXPECT_EQ(Doc.Root()->Count(), 4);

    const std::string path = std::string(QUILLO_TEST_DATA) + "/repeat.qlp";
    ImportFile(Doc, Editor, nullptr, path, [](const std::string&) {});
    EXPECT_EQ(Find("\x95\xF1\x8D\x90")->Data()->Repeat, "+5b"); // 報告

    std::ostringstream out, err;
    TTempDir config;
    const TFixedClock clock(kToday);
    ASSERT_EQ(RunCli({"list", path, "--tsv", "--config-dir", config.Path()}, out, err, clock), 0) << err.str();
    std::vector<std::string> rules;
    const std::string listed = out.str();
    for (std::string_view line : SplitLines(listed))
        if (!line.empty()) rules.emplace_back(line.substr(line.rfind('\t') + 1));
    EXPECT_EQ(rules,
              (std::vector<std::string>{"", "+1w", "", "+1w", ".+3d", "+1m", "+5b", "every 2nd tue", "5%x", "5%x"}));
}
