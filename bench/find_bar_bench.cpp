// SPDX-License-Identifier: GPL-3.0-or-later
// Benchmark (not a test): the find bar in the real window over 100 000 to-dos in 1 010 open
// folders, each step timed until the tree has taken the change and repainted its viewport:
// opening the bar, each further typed character, a state filter, a command while filtered, and
// closing the bar (every row back, the folders the filter opened closed again). Run with
// QT_QPA_PLATFORM=offscreen.
#include "BenchWindow.h"
#include "base/Clock.h"
#include "base/Cp932.h"
#include "controls/TreeList.h"
#include "desktop/QtDesktop.h"
#include "edit/Editor.h"
#include "main/FindBar.h"
#include "main/FormMain.h"
#include "main/MainCommands.h"
#include "model/NodesIF.h"
#include "model/SchItem.h"
#include "model/ScheduleFormat.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <functional>
#include <random>
#include <vector>

using namespace quillo;

namespace {
// 10 folders of 100 folders of 100 to-dos with names, memos and links in mixed width and kana; the
// folders the user opened are half of them, so that the filter opens and closes the others.
std::string MakeFile(const std::string& dir) {
    const char* words[] = {"見積書", "送付",   "会議",     "ﾚﾋﾞｭｰ",    "レビュー",
                           "資料",   "Report", "ＤＢ移行", "しりょう", "確認"};
    std::mt19937 rng(7);
    auto word = [&] { return std::string(words[rng() % std::size(words)]); };
    TNodesIF nodes;
    nodes.SetOwnsData(true);
    TTreeNode* root = CreateScheduleRoot(nodes, "bench");
    const TDate today = DefaultClock().Today();
    int serial = 0;
    for (int a = 0; a < 10; ++a) {
        TTreeNode* top = nodes.AddChild(root, "");
        BindItem(top, TSchFolder::Create(Utf8ToCp932Lossy("部門" + std::to_string(a)), top));
        top->Expand();
        for (int b = 0; b < 100; ++b) {
            TTreeNode* folder = nodes.AddChild(top, "");
            BindItem(folder, TSchFolder::Create(Utf8ToCp932Lossy(word() + " " + std::to_string(b)), folder));
            if (b % 2 == 0) folder->Expand();
            for (int c = 0; c < 100; ++c, ++serial) {
                TTreeNode* n = nodes.AddChild(folder, "");
                const TDate begin = today - 40 + static_cast<int>(rng() % 60);
                auto item = TSchToDo::Create(Utf8ToCp932Lossy(word() + word() + " " + std::to_string(serial)), n,
                                             rng() % 10 == 0, begin, begin + 25 + rng() % 10);
                if (rng() % 10 == 0) item->Memo = Utf8ToCp932Lossy("メモ: " + word() + "\r\n" + word());
                if (rng() % 20 == 0) item->Link = "https://example.com/" + std::to_string(serial);
                BindItem(n, std::move(item));
            }
        }
    }
    const std::string path = dir + "/find.qlp";
    WriteScheduleFile(path, BuildScheduleText(nodes, today, false, today), false);
    return path;
}

struct TTimes {
    double Wall, Cpu; // ms; the processor time of this thread leaves out waiting for a busy machine
};

double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

TTimes Median(std::vector<TTimes> v) {
    std::vector<double> wall, cpu;
    for (const TTimes& t : v) {
        wall.push_back(t.Wall);
        cpu.push_back(t.Cpu);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    return {wall[wall.size() / 2], cpu[cpu.size() / 2]};
}
} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::string dir = std::filesystem::temp_directory_path() / "quillo-find-bar-bench";
    std::filesystem::create_directories(dir);
    const std::string file = MakeFile(dir);
    TQtDesktop desktop;
    TFormMain form(desktop, DefaultClock(), "");
    bench::OpenInWindow(form, file);
    TTreeList* list = form.TreeList();
    TFindBar& find = form.Find();
    std::printf("find bar on %d nodes, %d rows shown unfiltered\n", list->Items().Count(),
                int(list->Model().rowCount(list->Model().IndexOf(form.Shared().Document.Root()))));

    // The whole view update: the change, the events it posted, the layout and a paint.
    auto timed = [&](const std::function<void()>& step) {
        QElapsedTimer t;
        t.start();
        const double cpu = ThreadCpuMs();
        step();
        QApplication::processEvents();
        list->viewport()->repaint();
        return TTimes{t.nsecsElapsed() / 1e6, ThreadCpuMs() - cpu};
    };
    auto type = [&](const char* text) { find.TextBox()->setText(QString::fromUtf8(text)); };

    const TTimes opened = timed([&] { form.Execute("ActionFind"); });
    std::printf("  (ms: median wall clock / processor time of the window's thread)\n");
    std::printf("  opening the bar (every search form made): %.1f / %.1f\n", opened.Wall, opened.Cpu);
    const char* typing[] = {"1", "12", "123", "1234", "ﾚ", "れび", "レビュ", "レビュー 9", "見", "見積", "見積書送"};
    TTimes worst{0, 0};
    for (size_t i = 1; i < std::size(typing); ++i) {
        std::vector<TTimes> times;
        for (int rep = 0; rep < 7; ++rep) {
            timed([&] { type(typing[i - 1]); });
            times.push_back(timed([&] { type(typing[i]); }));
        }
        const TTimes m = Median(times);
        worst = {std::max(worst.Wall, m.Wall), std::max(worst.Cpu, m.Cpu)};
        std::printf("  \"%s\" -> \"%s\": %.1f / %.1f, %s\n", typing[i - 1], typing[i], m.Wall, m.Cpu,
                    find.CountLabel()->text().toUtf8().constData());
    }
    std::printf("  slowest typed character: %.1f / %.1f (target 30)\n", worst.Wall, worst.Cpu);

    std::vector<TTimes> states;
    type("");
    for (int rep = 0; rep < 7; ++rep)
        states.push_back(timed([&] { find.StateBox()->setCurrentIndex(rep % 2 ? sfAlert : sfNotDone); }));
    find.StateBox()->setCurrentIndex(sfAll);
    std::printf("  state filter alone: %.1f / %.1f\n", Median(states).Wall, Median(states).Cpu);

    // A command while filtered: the done mark on a find, with the filter applied again.
    type("1");
    QApplication::processEvents();
    std::vector<TTimes> done;
    for (int rep = 0; rep < 7; ++rep) {
        TTreeNode* selected = list->Selected();
        done.push_back(timed([&] { form.Run([&] { form.Shared().Editor.SetDone(selected, rep % 2 == 0); }); }));
    }
    std::printf("  a done mark while filtered, the filter applied again: %.1f / %.1f\n", Median(done).Wall,
                Median(done).Cpu);

    std::vector<TTimes> closes, opens;
    for (int rep = 0; rep < 7; ++rep) {
        type("1"); // rows in every folder, the closed ones opened
        QApplication::processEvents();
        closes.push_back(timed([&] { form.Execute("ActionFindClose"); }));
        opens.push_back(timed([&] { form.Execute("ActionFind"); }));
    }
    std::printf("  closing the bar (every row back, folders closed again): %.1f / %.1f (target 50)\n",
                Median(closes).Wall, Median(closes).Cpu);
    std::printf("  opening it again with the last text: %.1f / %.1f\n", Median(opens).Wall, Median(opens).Cpu);
    form.Execute("ActionFindClose");
    form.SetModified(false);
    std::filesystem::remove_all(dir);
    return 0;
}
