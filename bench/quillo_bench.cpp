// SPDX-License-Identifier: GPL-3.0-or-later
// Benchmarks (not tests): quillo_bench tree | refresh | file DIR [N] | plainfile DIR [N] | list FILE
// Each prints its figures; run them one per process so peak memory belongs to one case.
#include "base/Clock.h"
#include "base/Cp932.h"
#include "base/StrUtil.h"
#include "cli/CliRunner.h"
#include "model/Calendar.h"
#include "model/Chart.h"
#include "model/NodesIF.h"
#include "model/SchItem.h"
#include "model/ScheduleFormat.h"
#include "model/StateEval.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <random>
#include <string>

using namespace quillo;
using Clock = std::chrono::steady_clock;

namespace {

long StatusKb(const char* key) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(key, 0) == 0) return std::stol(line.substr(std::string(key).size()));
    return 0;
}

double Ms(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

const TDate kToday = EncodeDate(2024, 5, 3);

// 100 000 to-dos in folders of 100, each spanning about 30 days around today.
void BuildTree(TNodesIF& nodes, int todos) {
    std::mt19937 rng(1);
    TTreeNode* root = CreateScheduleRoot(nodes, "bench");
    TTreeNode* folder = nullptr;
    const std::string name = Utf8ToCp932Lossy("予定の名前 "); // names are held as cp932
    for (int i = 0; i < todos; ++i) {
        if (i % 100 == 0) {
            folder = nodes.AddChild(root, "folder " + std::to_string(i / 100));
            BindItem(folder, TSchFolder::Create(folder->Text(), folder));
        }
        TTreeNode* n = nodes.AddChild(folder, name + std::to_string(i));
        TDate begin = kToday - 40 + static_cast<int>(rng() % 60);
        BindItem(n, TSchToDo::Create(n->Text(), n, rng() % 10 == 0, begin, begin + 25 + rng() % 10));
    }
}

std::vector<std::string> Holidays(int count) {
    std::vector<std::string> lines;
    std::mt19937 rng(2);
    for (int i = 0; i < count; ++i) {
        int y, m, d;
        DecodeDate(kToday - 100 + static_cast<int>(rng() % 200), y, m, d);
        lines.push_back(std::to_string(y) + "\t" + std::to_string(m) + "\t" + std::to_string(d) + "\t" +
                        std::to_string(rng() % 3));
    }
    return lines;
}

int Tree() {
    const int kItems = 100000;
    long before = StatusKb("VmRSS:");
    auto t0 = Clock::now();
    TNodesIF nodes;
    nodes.SetOwnsData(true);
    BuildTree(nodes, kItems);
    auto t1 = Clock::now();
    long peak = StatusKb("VmHWM:");
    std::printf("tree: %d nodes in %.1f ms = %.0f nodes/s; %.0f bytes per to-do (peak RSS growth %ld kB)\n",
                nodes.Count(), Ms(t0, t1), nodes.Count() / (Ms(t0, t1) / 1000), (peak - before) * 1024.0 / kItems,
                peak - before);
    return 0;
}

double TimeRefresh(TCalendar& cal, TNodesIF& nodes, int reps) {
    TChart chart(cal);
    chart.SetChartDate(kToday + kDefaultChartOffset);
    TEvalContext ctx{kToday, &cal, &chart};
    double best = 1e30;
    for (int r = 0; r < reps; ++r) {
        auto t0 = Clock::now();
        RefreshAll(ctx, nodes);
        best = std::min(best, Ms(t0, Clock::now()));
    }
    return best;
}

int Refresh() {
    TCalendar cal;
    cal.SetHolidayDates(Holidays(200));
    TNodesIF big;
    big.SetOwnsData(true);
    BuildTree(big, 100000);
    double indexed = TimeRefresh(cal, big, 5);
    // The literal rule parses every line for every counted day: measured on 1 000 to-dos and
    // scaled, as 100 000 would take minutes.
    TNodesIF small;
    small.SetOwnsData(true);
    BuildTree(small, 1000);
    cal.SetLiteralLookup(true);
    double literalSmall = TimeRefresh(cal, small, 1);
    double literal = literalSmall * 100;
    std::printf("refresh: RefreshAll of 100 000 to-dos, 200 holiday lines: indexed %.1f ms; literal %.0f ms "
                "(1 000 to-dos: %.1f ms, scaled); literal/indexed = %.0fx\n",
                indexed, literal, literalSmall, literal / indexed);
    return 0;
}

// A schedule of `todos` to-dos in folders of 100; with memos unless `plain`.
int File(const std::string& dir, int todos, bool plain) {
    const std::string label = todos % 1000 == 0 ? std::to_string(todos / 1000) + "k" : std::to_string(todos);
    const std::string path = dir + (plain ? "/plain" : "/bench") + label + ".qlp";
    {
        TNodesIF nodes;
        nodes.SetOwnsData(true);
        BuildTree(nodes, todos);
        if (!plain)
            for (TTreeNode* n = nodes.GetFirstNode(); n; n = n->GetNext())
                if (TSchItem* item = n->Data()) item->Memo = "メモ\t" + std::to_string(n->Index());
        std::string text = BuildScheduleText(nodes, kToday, false, kToday);
        auto t0 = Clock::now();
        WriteScheduleFile(path, text, false);
        auto t1 = Clock::now();
        std::string again = BuildScheduleText(nodes, kToday, false, kToday);
        auto t2 = Clock::now();
        std::printf("file: %.1f MB written in %.1f ms (atomic, fsync); building the text %.1f ms\n", text.size() / 1e6,
                    Ms(t0, t1), Ms(t1, t2));
    }
    std::printf("file: kept %s\n", path.c_str());
    return 0;
}

// In a process of its own, so that its peak memory is the listing's alone.
int List(const std::string& path) {
    auto t0 = Clock::now();
    std::ofstream devnull("/dev/null");
    TFixedClock clock(kToday);
    int rc = RunCli({"list", path, "--tsv", "--config-dir", "/nonexistent"}, devnull, std::cerr, clock);
    auto t1 = Clock::now();
    std::printf("list: quillo-cli list --tsv to /dev/null: %.1f ms (rc %d); peak RSS %ld MB\n", Ms(t0, t1), rc,
                StatusKb("VmHWM:") / 1024);
    return rc;
}

} // namespace

int main(int argc, char** argv) {
    std::string what = argc > 1 ? argv[1] : "";
    if (what == "tree") return Tree();
    if (what == "refresh") return Refresh();
    if ((what == "file" || what == "plainfile") && argc > 2)
        return File(argv[2], argc > 3 ? std::atoi(argv[3]) : 100000, what == "plainfile");
    if (what == "list" && argc > 2) return List(argv[2]);
    std::fprintf(stderr, "usage: quillo_bench tree | refresh | file DIR [N] | plainfile DIR [N] | list FILE\n");
    return 64;
}
