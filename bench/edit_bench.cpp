// SPDX-License-Identifier: GPL-3.0-or-later
// Benchmark: single-item commands and their undo in the real window over a 100 000-item,
// fully expanded schedule (10 folders of 100 folders of 100 to-dos), each with the model update
// and a repaint; then deleting a 10 000-item folder and undoing it. Run with
// QT_QPA_PLATFORM=offscreen.
#include "BenchWindow.h"
#include "base/Clock.h"
#include "controls/TreeList.h"
#include "desktop/QtDesktop.h"
#include "edit/Editor.h"
#include "main/FormMain.h"
#include "model/NodesIF.h"
#include "model/SchItem.h"
#include "model/ScheduleFormat.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <vector>

using namespace quillo;

namespace {
std::string MakeFile(const std::string& dir) {
    TNodesIF nodes;
    nodes.SetOwnsData(true);
    TTreeNode* root = CreateScheduleRoot(nodes, "bench");
    const TDate today = DefaultClock().Today();
    for (int f = 0; f < 10; ++f) {
        TTreeNode* folder = nodes.AddChild(root, "folder " + std::to_string(f));
        BindItem(folder, TSchFolder::Create(folder->Text(), folder));
        folder->Expand();
        for (int g = 0; g < 100; ++g) {
            TTreeNode* group = nodes.AddChild(folder, "group " + std::to_string(g));
            BindItem(group, TSchFolder::Create(group->Text(), group));
            group->Expand();
            for (int i = 0; i < 100; ++i) {
                TTreeNode* n = nodes.AddChild(group, "item " + std::to_string(i));
                BindItem(n, TSchToDo::Create(n->Text(), n, false, today - 10 + i % 20, today + i % 30));
            }
        }
    }
    const std::string path = dir + "/edit.qlp";
    WriteScheduleFile(path, BuildScheduleText(nodes, today, false, today), false);
    return path;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const std::string dir = std::filesystem::temp_directory_path() / "quillo-edit-bench";
    std::filesystem::create_directories(dir);
    const std::string file = MakeFile(dir);
    TQtDesktop desktop;
    TFormMain form(desktop, DefaultClock(), "");
    TTreeNode* item = bench::OpenInWindow(form, file);
    TTreeNode* folder = item->Parent();
    TTreeList* list = form.TreeList();
    TScheduleEditor& editor = form.Shared().Editor;
    QSignalSpy resets(&list->Model(), &QAbstractItemModel::modelReset);

    auto timed = [&](const std::function<void()>& step) {
        QElapsedTimer t;
        t.start();
        step();
        list->viewport()->repaint();
        return t.nsecsElapsed() / 1e6;
    };
    struct TCommand {
        const char* Name;
        std::function<void()> Do;
    };
    const std::vector<TCommand> commands = {
        {"done mark", [&] { editor.SetDone(item, !item->Data()->Checked); }},
        {"date shift", [&] { editor.ShiftDates(item, 1, 1); }},
        {"rename", [&] { editor.Rename(item, "renamed"); }},
        {"move up", [&] { editor.MoveUp(item); }},
        {"new folder", [&] { editor.NewFolder(item, "new"); }},
        {"delete one", [&] { editor.Delete(folder->Item(40)); }},
        {"drop", [&] { editor.Drop(folder->Item(10), form.Shared().Document.Root()->Item(2)->Item(3)); }},
    };
    std::vector<double> idle;
    for (int r = 0; r < 7; ++r)
        idle.push_back(timed([] {}));
    std::printf("repaint alone %6.2f ms\n", Median(idle));
    double worst = 0;
    for (const TCommand& c : commands) {
        std::vector<double> run, undo;
        for (int r = 0; r < 7; ++r) {
            run.push_back(timed(c.Do));
            undo.push_back(timed([&] { editor.Undo(); }));
            item = folder->Item(50);
        }
        std::printf("%-11s %6.2f ms, undo %6.2f ms\n", c.Name, Median(run), Median(undo));
        worst = std::max({worst, Median(run), Median(undo)});
    }
    std::vector<double> del, back;
    for (int r = 0; r < 3; ++r) {
        del.push_back(timed([&] { editor.Delete(form.Shared().Document.Root()->Item(3)); }));
        back.push_back(timed([&] { editor.Undo(); }));
    }
    std::printf("single-item worst %.2f ms (target 16); 10 000-item folder delete %.1f ms, undo %.1f ms "
                "(target 150); model resets %lld (target 0)\n",
                worst, Median(del), Median(back), static_cast<long long>(resets.count()));
    std::filesystem::remove_all(dir);
    return 0;
}
