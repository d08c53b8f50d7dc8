// SPDX-License-Identifier: GPL-3.0-or-later
// A printed chart without a printer: which rows it shows, their day cells over any run of days,
// how the pages are cut, and the command line that asks for a PDF.
#include "core/TestTree.h"
#include "model/PrintLayout.h"
#include "model/PrintRows.h"
#include "model/StateEval.h"
#include "shell/PrintPdfArgs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace quillo;
using namespace quillo::test;

namespace {

struct TRandom {
    std::mt19937 Rng;
    int operator()(int lo, int hi) { return lo + static_cast<int>(Rng() % static_cast<unsigned>(hi - lo + 1)); }
};

// Folders (some empty, some open), to-dos done or not, with and without dates around May 2024.
std::string RandomSchedule(TRandom& pick) {
    std::string lines = "{\n";
    int open = 0;
    for (int i = 0; i < 50; ++i) {
        if (pick(0, 5) == 0) {
            lines += "F|f" + std::to_string(i) + "||" + (pick(0, 1) ? "+" : "-") + "\n{\n";
            ++open;
        }
        if (pick(0, 12) == 0) lines += "F|empty" + std::to_string(i) + "||-\n{\n}\n";
        const std::string b =
            pick(0, 4) ? "2024|" + std::to_string(pick(3, 5)) + "|" + std::to_string(pick(1, 28)) : "-|-|-";
        const std::string e =
            pick(0, 4) ? "2024|" + std::to_string(pick(4, 7)) + "|" + std::to_string(pick(1, 28)) : "-|-|-";
        lines += "I|t" + std::to_string(i) + "|" + (pick(0, 5) ? "0" : "1") + "|" + b + "|" + e + "|" +
                 std::to_string(pick(0, 2)) + "|\n";
        if (open > 0 && pick(0, 4) == 0) {
            lines += "}\n";
            --open;
        }
    }
    return lines + std::string(size_t(open), '}') + "}\n";
}

// A view that holds every folder named "f..." open for its own purposes (a find bar).
struct THoldsFolders : IHeldOpen {
    bool HoldsOpen(const TTreeNode* node) const override { return node->Text().rfind("f", 0) == 0; }
};

} // namespace

// The chart's own cells are the reference: printing any run of days that holds the chart's 60
// gives, on those days, exactly what the window paints, for rows open as stored or all open.
TEST(PrintRows, CellsOverAnyRunOfDaysAreTheChartsCellsThere) {
    TRandom pick{std::mt19937(31)};
    for (int round = 0; round < 40; ++round) {
        const TDate today = D(2024, 4, 20) + pick(0, 40);
        TTestSchedule s(today);
        std::vector<std::string> holidays;
        for (int i = pick(0, 20); i > 0; --i)
            holidays.push_back("2024\t" + std::to_string(pick(4, 6)) + "\t" + std::to_string(pick(1, 30)) + "\t" +
                               std::to_string(pick(0, 2)));
        s.Calendar.SetHolidayDates(holidays);
        s.Calendar.HolidayLv = round % 3;
        s.Calendar.AlertCount = round % 5;
        const TDate chart = today - pick(0, 30);
        s.SetChart(chart);
        s.Load(RandomSchedule(pick));
        const int before = pick(0, 100), days = kChartDays + before + pick(0, 100);
        for (bool allOpen : {false, true}) {
            const std::vector<TPrintRowRef> rows = PrintRows(s.Nodes, allOpen);
            const std::vector<int8_t> cells = PrintDayCells(s.Ctx, rows, chart - before, days);
            ASSERT_EQ(cells.size(), rows.size() * size_t(days));
            for (size_t r = 0; r < rows.size(); ++r) {
                const TTreeNode* n = rows[r].Node;
                for (int i = 0; i < kChartDays; ++i) {
                    const int expected = rows[r].Open || !n->Data() ? kCellNothing : n->Data()->GetDayCell(i);
                    ASSERT_EQ(cells[r * size_t(days) + size_t(before + i)], expected)
                        << "round " << round << ", " << n->Text() << ", day " << i << (allOpen ? ", all open" : "");
                }
            }
        }
    }
}

TEST(PrintRows, RowsFollowTheUsersMarksOrOpenEverythingAndTheTextsFollowTheRows) {
    TTestSchedule s(D(2024, 5, 3));
    s.Load("{\nF|fopen||+\n{\nI|a|0|2024|5|1|2024|5|9|0|\n}\nF|closed||-\n{\nF|fdeep||+\n{\n"
           "I|b|0|2024|5|2|2024|5|6|0|\n}\n}\n}\n");
    auto names = [](const std::vector<TPrintRowRef>& rows) {
        std::string s;
        for (const TPrintRowRef& r : rows)
            s += r.Node->Text() + (r.Open ? "+ " : " ");
        return s;
    };
    EXPECT_EQ(names(PrintRows(s.Nodes, false)), "test+ fopen+ a closed ");
    EXPECT_EQ(names(PrintRows(s.Nodes, true)), "test+ fopen+ a closed+ fdeep+ b ");
    // A folder a find bar holds open prints as the user left it: here, everything it holds.
    THoldsFolders held;
    s.Nodes.SetHeldOpen(&held);
    EXPECT_EQ(names(PrintRows(s.Nodes, false)), "test+ fopen closed ");
    s.Nodes.SetHeldOpen(nullptr);
    EXPECT_TRUE(s.Find("fdeep")->Expanded()) << "the marks are read, never changed";
    EXPECT_FALSE(s.Find("closed")->Expanded());

    // A closed folder printed open shows arrows instead of its dates, and its dates again closed.
    std::string texts[3];
    RowTexts(s.Ctx, s.Find("closed"), texts, true);
    EXPECT_EQ(texts[0] + texts[1] + texts[2], "↓↓");
    RowTexts(s.Ctx, s.Find("closed"), texts, false);
    EXPECT_EQ(texts[0], "2024/05/02(木)");
    EXPECT_EQ(texts[2], "進行");
}

// Random rows, days and paper: every row on exactly one page of each band, never cut, the fewest
// strips and bands that fit, and the day width the choice asks for.
TEST(PrintLayout, PagesCoverEveryRowAndDayOnceWithTheFewestBreaks) {
    TRandom pick{std::mt19937(7)};
    for (int round = 0; round < 2000; ++round) {
        TPageGeometry g;
        g.Width = pick(200, 3000);
        g.Height = pick(100, 2000);
        g.Header = pick(0, 80);
        g.Footer = pick(0, 40);
        g.NameColumns = pick(0, g.Width + 50); // now and then no room at all
        g.LegibleDay = pick(5, 40);
        g.NarrowestDay = pick(1, 10);
        g.WidestDay = pick(0, 1) ? 0 : pick(10, 60);
        const bool fit = pick(0, 1);
        const int days = pick(1, kMaxPrintDays);
        std::vector<int> heights(size_t(pick(0, 400)));
        const int usual = pick(5, 60);
        for (int& h : heights)
            h = pick(0, 30) ? usual : pick(1, 3 * g.Height); // an odd row taller than a page
        const TPageLayout l = LayOutPages(heights, days, g, fit);
        const long long body = std::max(g.Height - g.Header - g.Footer, 1);
        const double across = std::max(g.Width - g.NameColumns, 1);
        SCOPED_TRACE("round " + std::to_string(round));

        // Rows: strips in order, each as full as it can be, never over the body unless one row is.
        int next = 0;
        for (size_t k = 0; k < l.Strips.size(); ++k) {
            const TRun& s = l.Strips[k];
            ASSERT_EQ(s.First, next);
            long long used = 0;
            for (int r = s.First; r < s.First + s.Count; ++r)
                used += heights[size_t(r)];
            ASSERT_TRUE(used <= body || s.Count == 1) << "a row would be cut";
            if (k + 1 < l.Strips.size()) {
                ASSERT_GT(used + heights[size_t(s.First + s.Count)], body) << "a break too early";
            }
            next += s.Count;
        }
        ASSERT_EQ(next, int(heights.size()));
        ASSERT_FALSE(l.Strips.empty());

        // Days: bands in order, each within the width, as few as the width allows.
        if (fit && across / days >= g.NarrowestDay && (g.WidestDay == 0 || g.WidestDay >= g.NarrowestDay)) {
            ASSERT_EQ(l.Bands.size(), 1u) << "fitting days were spread";
        }
        if (!fit) {
            ASSERT_EQ(l.DayWidth, g.LegibleDay);
        }
        const int perBand = std::max(1, int(std::floor(across / l.DayWidth + 1e-9)));
        ASSERT_EQ(int(l.Bands.size()), (days + perBand - 1) / perBand);
        int day = 0;
        for (const TRun& b : l.Bands) {
            ASSERT_EQ(b.First, day);
            ASSERT_TRUE(b.Count * l.DayWidth <= across + 1e-6 || b.Count == 1);
            day += b.Count;
        }
        ASSERT_EQ(day, days);

        // Pages: each strip across every band, so each row is on one page per band.
        ASSERT_EQ(l.Pages.size(), l.Strips.size() * l.Bands.size());
        for (size_t p = 0; p < l.Pages.size(); ++p) {
            const TRun& s = l.Strips[p / l.Bands.size()];
            const TRun& b = l.Bands[p % l.Bands.size()];
            ASSERT_EQ(l.Pages[p].FirstRow, s.First);
            ASSERT_EQ(l.Pages[p].Rows, s.Count);
            ASSERT_EQ(l.Pages[p].FirstDay, b.First);
            ASSERT_EQ(l.Pages[p].Days, b.Count);
        }
    }
}

TEST(PrintPdfArgs, ReadsTheCommandLineAndRefusesWhatItCannotUse) {
    EXPECT_TRUE(WantsPrintPdf({"--print-pdf", "a.pdf", "plan.qlp"}));
    EXPECT_TRUE(WantsPrintPdf({"plan.qlp", "--print-pdf=a.pdf"}));
    EXPECT_FALSE(WantsPrintPdf({"-t", "plan.qlp"}));
    EXPECT_FALSE(WantsPrintPdf({"--", "--print-pdf"})); // a file of that name

    const TPrintPdfArgs a = ParsePrintPdfArgs({"--print-pdf", "out.pdf", "--from", "2024/05/01", "--days=120",
                                               "--expand-all", "--legible", "--", "-plan.qlp"});
    EXPECT_EQ(a.Output, "out.pdf");
    EXPECT_EQ(a.File, "-plan.qlp");
    EXPECT_EQ(a.From, D(2024, 5, 1));
    EXPECT_EQ(a.Days, 120);
    EXPECT_TRUE(a.AllOpen && a.Legible);
    const TPrintPdfArgs plain = ParsePrintPdfArgs({"--print-pdf=out.pdf", "plan.qlp"});
    EXPECT_FALSE(plain.From || plain.AllOpen || plain.Legible);
    EXPECT_EQ(plain.Days, kChartDays);

    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"--print-pdf", "out.pdf"},                              // no schedule
             {"--print-pdf"},                                         // no output
             {"--print-pdf=", "plan.qlp"},                            // an empty output
             {"--print-pdf", "out.pdf", "a.qlp", "b.qlp"},            // two schedules
             {"--print-pdf", "out.pdf", "--days", "0", "plan.qlp"},   // no day
             {"--print-pdf", "out.pdf", "--days", "367", "plan.qlp"}, // over a year
             {"--print-pdf", "out.pdf", "--days", "9x", "plan.qlp"},  // not a number
             {"--print-pdf", "out.pdf", "--days", "99999999999", "plan.qlp"},
             {"--print-pdf", "out.pdf", "--from", "2024-02-30", "plan.qlp"}, // no such day
             {"--print-pdf", "out.pdf", "--from", "9999-12-01", "plan.qlp"}, // past the last day a file holds
             {"--print-pdf", "out.pdf", "-t", "plan.qlp"},                   // the window's switch
             {"--print-pdf", "out.pdf", "plan.qlp", "--from"}})              // a value missing
        EXPECT_THROW(ParsePrintPdfArgs(bad), EPrintPdfUsage) << bad.back();
}
