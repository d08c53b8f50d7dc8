// SPDX-License-Identifier: GPL-3.0-or-later
// Benchmark (not a test): the core's share of the find bar on 100 000 to-dos: the first search
// (every item's search form made), each further typed character, a state filter, and clearing the
// filter (the folders it opened closed again), on a schedule whose folders the user left open and
// on one where they are closed.
#include "base/Cp932.h"
#include "model/Calendar.h"
#include "model/Chart.h"
#include "model/NodesIF.h"
#include "model/SchItem.h"
#include "model/ScheduleFormat.h"
#include "model/StateEval.h"
#include "model/TreeFilter.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <malloc.h>
#include <random>
#include <string>
#include <vector>

using namespace quillo;
using Clock = std::chrono::steady_clock;

namespace {

const TDate kToday = EncodeDate(2024, 5, 3);

size_t HeapBytes() {
    return mallinfo2().uordblks;
}

double Ms(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

// 10 folders of 100 folders of 100 to-dos, with names, memos and links of mixed width and kana.
void BuildTree(TNodesIF& nodes, bool open) {
    const char* words[] = {"見積書", "送付",   "会議",     "ﾚﾋﾞｭｰ",    "レビュー",
                           "資料",   "Report", "ＤＢ移行", "しりょう", "確認"};
    std::mt19937 rng(7);
    auto word = [&] { return std::string(words[rng() % std::size(words)]); };
    TTreeNode* root = CreateScheduleRoot(nodes, "bench");
    int serial = 0;
    for (int a = 0; a < 10; ++a) {
        TTreeNode* top = nodes.AddChild(root, "");
        BindItem(top, TSchFolder::Create(Utf8ToCp932Lossy("部門" + std::to_string(a)), top));
        for (int b = 0; b < 100; ++b) {
            TTreeNode* folder = nodes.AddChild(top, "");
            BindItem(folder, TSchFolder::Create(Utf8ToCp932Lossy(word() + " " + std::to_string(b)), folder));
            for (int c = 0; c < 100; ++c, ++serial) {
                TTreeNode* n = nodes.AddChild(folder, "");
                const TDate begin = kToday - 40 + static_cast<int>(rng() % 60);
                auto item = TSchToDo::Create(Utf8ToCp932Lossy(word() + word() + " " + std::to_string(serial)), n,
                                             rng() % 10 == 0, begin, begin + 25 + rng() % 10);
                if (rng() % 10 == 0) item->Memo = Utf8ToCp932Lossy("メモ: " + word() + "\r\n" + word());
                if (rng() % 20 == 0) item->Link = "https://example.com/" + std::to_string(serial);
                BindItem(n, std::move(item));
            }
            static_cast<TSchFolder*>(folder->Data())->Expanded = open; // as read from a file
        }
        static_cast<TSchFolder*>(top->Data())->Expanded = open;
    }
}

struct TFigures {
    double Best, Median;
};

TFigures Figures(std::vector<double> t) {
    std::sort(t.begin(), t.end());
    return {t.front(), t[t.size() / 2]};
}

void Run(bool open) {
    TCalendar calendar;
    TChart chart(calendar);
    chart.SetChartDate(kToday - 7);
    const TEvalContext ctx{kToday, &calendar, &chart};
    TNodesIF nodes;
    nodes.SetOwnsData(true);
    BuildTree(nodes, open);
    FinishScheduleLoad(nodes, ctx);
    TTreeFilter filter(nodes);
    std::printf("%s schedule: %d nodes\n", open ? "open" : "closed", nodes.Count());

    auto apply = [&](const std::string& text, TStateFilter state = sfAll) {
        filter.SetQuery({text, false, state, kToday});
        const auto t0 = Clock::now();
        const TFilterResult r = filter.Apply(ctx);
        return std::make_pair(Ms(t0, Clock::now()), r.Rows.size());
    };

    auto [cold, coldRows] = apply("1");
    std::printf("  first character \"1\" making every search form: %.1f ms, %zu rows\n", cold, coldRows);
    filter.Clear(ctx);
    const size_t before = HeapBytes();
    const auto t0 = Clock::now();
    filter.Prepare();
    const double prepare = Ms(t0, Clock::now());
    std::printf("  the search forms take %.1f MB of heap\n", static_cast<double>(HeapBytes() - before) / 1e6);
    auto [first, firstRows] = apply("1");
    std::printf("  the forms made when the bar opens: %.1f ms; then the first character: %.2f ms, %zu rows\n", prepare,
                first, firstRows);

    double worst = 0;
    const char* typing[] = {"1", "12", "123", "1234", "ﾚ", "れび", "レビュ", "レビュー 9"};
    for (size_t i = 1; i < std::size(typing); ++i) {
        std::vector<double> times;
        size_t rows = 0;
        for (int rep = 0; rep < 7; ++rep) {
            apply(typing[i - 1]);
            auto [ms, n] = apply(typing[i]);
            times.push_back(ms);
            rows = n;
        }
        const TFigures f = Figures(times);
        worst = std::max(worst, f.Median);
        std::printf("  \"%s\" -> \"%s\": best %.2f ms, median %.2f ms, %zu rows\n", typing[i - 1], typing[i], f.Best,
                    f.Median, rows);
    }
    std::printf("  slowest typed character (median): %.2f ms\n", worst);
    {
        filter.SetQuery({"レビュ", true, sfAll, kToday});
        const auto k0 = Clock::now();
        const size_t rows = filter.Apply(ctx).Rows.size();
        std::printf("  the kana check turned on (every form made again): %.1f ms, %zu rows\n", Ms(k0, Clock::now()),
                    rows);
    }
    std::vector<double> states;
    for (int rep = 0; rep < 7; ++rep)
        states.push_back(apply("", rep % 2 ? sfAlert : sfNotDone).first);
    std::printf("  state filter alone: median %.2f ms\n", Figures(states).Median);

    std::vector<double> clears;
    size_t closed = 0;
    for (int rep = 0; rep < 7; ++rep) {
        apply("1"); // shows rows in every folder
        const auto t0 = Clock::now();
        closed = filter.Clear(ctx).size();
        clears.push_back(Ms(t0, Clock::now()));
    }
    const TFigures c = Figures(clears);
    std::printf("  clearing (%zu folders closed again): best %.2f ms, median %.2f ms\n", closed, c.Best, c.Median);
}

} // namespace

int main() {
    Run(true);
    Run(false);
    return 0;
}
