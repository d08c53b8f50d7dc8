// SPDX-License-Identifier: GPL-3.0-or-later
// Benchmark (not a test): deciding whom the reminder tells on 100 000 to-dos: the start-up notice,
// the check after every edit when nothing is new (the common case), a new day, and the same with
// every to-do late. The target is 20 ms for any of them. Then what closing and opening the same
// schedule again costs.
#include "base/Clock.h"
#include "model/Calendar.h"
#include "model/NodesIF.h"
#include "model/Reminder.h"
#include "model/SchItem.h"
#include "model/ScheduleFormat.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

using namespace quillo;
using Clock = std::chrono::steady_clock;

namespace {

const TDate kToday = EncodeDate(2024, 5, 3);

double Ms(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

// 10 folders of 100 folders of 100 to-dos; `spread` days of end dates around today.
void BuildTree(TNodesIF& nodes, int spread) {
    std::mt19937 rng(29);
    TTreeNode* root = CreateScheduleRoot(nodes, "bench");
    int serial = 0;
    for (int a = 0; a < 10; ++a) {
        TTreeNode* top = nodes.AddChild(root, "");
        BindItem(top, TSchFolder::Create("dept " + std::to_string(a), top));
        for (int b = 0; b < 100; ++b) {
            TTreeNode* folder = nodes.AddChild(top, "");
            BindItem(folder, TSchFolder::Create("project " + std::to_string(b), folder));
            for (int c = 0; c < 100; ++c, ++serial) {
                TTreeNode* n = nodes.AddChild(folder, "");
                const TDate end = kToday - spread / 4 + static_cast<int>(rng() % unsigned(spread));
                BindItem(n, TSchToDo::Create("to-do " + std::to_string(serial), n, rng() % 10 == 0,
                                             end - 3 - rng() % 20, end, static_cast<int>(rng() % 3)));
            }
        }
    }
}

struct TFigures {
    double Best, Median;
};

template <class F> TFigures Time(int reps, F&& body) {
    std::vector<double> t;
    for (int i = 0; i < reps; ++i) {
        const auto t0 = Clock::now();
        body(i);
        t.push_back(Ms(t0, Clock::now()));
    }
    std::sort(t.begin(), t.end());
    return {t.front(), t[t.size() / 2]};
}

void Run(const char* title, int spread) {
    TCalendar calendar;
    calendar.AlertCount = 3;
    std::vector<std::string> holidays;
    for (int i = 0; i < 120; ++i) // a year of dated exceptions
        holidays.push_back("2024\t" + std::to_string(1 + i % 12) + "\t" + std::to_string(1 + i % 28) + "\t2");
    calendar.SetHolidayDates(holidays);
    TNodesIF nodes;
    nodes.SetOwnsData(true);
    BuildTree(nodes, spread);
    TFixedClock clock(kToday + 0.4);

    std::printf("%s: %d nodes\n", title, nodes.Count());
    size_t told = 0;
    const TFigures start = Time(7, [&](int) {
        TReminder fresh(nodes, calendar, clock, kToday);
        told = fresh.Opened(true)->Items.size();
    });
    std::printf("  start-up notice (%zu to-dos told): best %.2f ms, median %.2f ms\n", told, start.Best, start.Median);

    TReminder reminder(nodes, calendar, clock, kToday);
    reminder.Opened(true);
    const TFigures quiet = Time(21, [&](int) { reminder.Changed(); });
    std::printf("  after an edit, nothing new: best %.2f ms, median %.2f ms\n", quiet.Best, quiet.Median);
    const TFigures tick = Time(21, [&](int) { reminder.Tick(); });
    std::printf("  a minute's tick on the same day: best %.4f ms, median %.4f ms\n", tick.Best, tick.Median);
    const TFigures day = Time(7, [&](int i) {
        clock.Set(kToday + 1 + i + 0.01);
        told = reminder.Tick()->Items.size();
    });
    std::printf("  a new day (%zu to-dos told): best %.2f ms, median %.2f ms\n", told, day.Best, day.Median);

    // Closing keeps the marks of what was told; the same schedule opened again takes them back.
    auto t0 = Clock::now();
    reminder.BeginClear(); // what the collection tells its observer
    const double keep = Ms(t0, Clock::now());
    nodes.Clear();
    BuildTree(nodes, spread);
    t0 = Clock::now();
    const bool silent = !reminder.Opened(false) && !reminder.Changed();
    std::printf("  closing: %.2f ms to keep the marks; the same schedule again: %.2f ms to take them back%s\n", keep,
                Ms(t0, Clock::now()), silent ? "" : " (but something was told again!)");
}

} // namespace

int main() {
    Run("end dates over 400 days", 400);
    Run("every to-do due or late", 4);
    return 0;
}
