// SPDX-License-Identifier: GPL-3.0-or-later
// Benchmark: from window creation to the first complete paint of the tree, empty and with
// 10 000 and 100 000 items opened from a file. Run with QT_QPA_PLATFORM=offscreen.
#include "base/Clock.h"
#include "controls/TreeList.h"
#include "desktop/QtDesktop.h"
#include "main/FormMain.h"
#include "model/NodesIF.h"
#include "model/SchItem.h"
#include "model/ScheduleFormat.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QPaintEvent>
#include <chrono>
#include <cstdio>
#include <filesystem>

using namespace quillo;

namespace {
struct TPaintWatch : QObject {
    bool Painted = false;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) Painted = true;
        return false;
    }
};

std::string MakeFile(const std::string& dir, int items) {
    TNodesIF nodes;
    nodes.SetOwnsData(true);
    TTreeNode* root = CreateScheduleRoot(nodes, "bench");
    TTreeNode* folder = nullptr;
    const TDate today = DefaultClock().Today();
    for (int i = 0; i < items; ++i) {
        if (i % 100 == 0) {
            folder = nodes.AddChild(root, "folder");
            BindItem(folder, TSchFolder::Create("folder", folder));
            folder->Expand();
        }
        TTreeNode* n = nodes.AddChild(folder, "item " + std::to_string(i));
        BindItem(n, TSchToDo::Create(n->Text(), n, false, today - 10 + i % 20, today + i % 30));
    }
    std::string path = dir + "/open" + std::to_string(items) + ".qlp";
    WriteScheduleFile(path, BuildScheduleText(nodes, today, false, today), false);
    return path;
}

double OpenAndPaint(const std::string& file) {
    TQtDesktop desktop;
    QElapsedTimer t;
    t.start();
    TFormMain form(desktop, DefaultClock(), "");
    TPaintWatch watch;
    form.TreeList()->viewport()->installEventFilter(&watch);
    form.resize(1280, 800);
    form.show();
    // An empty name is the new, empty schedule.
    form.Run([&] { file.empty() ? form.Shared().Files.FileNew() : form.Shared().Files.OpenNamed(file); });
    while (!watch.Painted)
        QApplication::processEvents();
    double ms = t.nsecsElapsed() / 1e6;
    form.SetModified(false);
    return ms;
}
} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::string dir = std::filesystem::temp_directory_path().string();
    const std::string f10k = MakeFile(dir, 10000), f100k = MakeFile(dir, 100000);
    OpenAndPaint(""); // warm up fonts and styles
    double empty = 1e30, t10k = 1e30, t100k = 1e30;
    for (int r = 0; r < 3; ++r) {
        empty = std::min(empty, OpenAndPaint(""));
        t10k = std::min(t10k, OpenAndPaint(f10k));
        t100k = std::min(t100k, OpenAndPaint(f100k));
    }
    {
        // The chart of an opened 10 000-item schedule: a full repaint, and a one-day step.
        TQtDesktop desktop;
        TFormMain form(desktop, DefaultClock(), "");
        form.resize(1280, 800);
        form.show();
        form.Run([&] { form.Shared().Files.OpenNamed(f10k); });
        QApplication::processEvents();
        double paint = 1e30, step = 1e30;
        for (int r = 0; r < 10; ++r) {
            QElapsedTimer t;
            t.start();
            form.TreeList()->viewport()->grab();
            paint = std::min(paint, t.nsecsElapsed() / 1e6);
            t.restart();
            form.FindAction("ActionChartNext1")->trigger();
            form.TreeList()->viewport()->grab();
            step = std::min(step, t.nsecsElapsed() / 1e6);
        }
        std::printf(
            "chart: 10 000 items, 1280x800: repaint %.2f ms; ActionChartNext1 with refresh and repaint %.2f ms\n",
            paint, step);
        form.SetModified(false);
    }
    std::printf("open: window to first paint: empty %.1f ms; 10 000 items %.1f ms (+%.1f); 100 000 items %.1f ms "
                "(+%.1f)\n",
                empty, t10k, t10k - empty, t100k, t100k - empty);
    std::filesystem::remove(f10k);
    std::filesystem::remove(f100k);
    return 0;
}
