// SPDX-License-Identifier: GPL-3.0-or-later
// Benchmark: paint one 1280x800 viewport of a fully expanded 100 000-node tree with 64 columns,
// and scroll by a page. Run with QT_QPA_PLATFORM=offscreen.
#include "controls/ExHeader.h"
#include "controls/TreeList.h"

#include <QApplication>
#include <QScrollBar>
#include <QVBoxLayout>
#include <chrono>
#include <cstdio>

using namespace quillo;
using Clock = std::chrono::steady_clock;

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QWidget host;
    auto* layout = new QVBoxLayout(&host);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* header = new TExHeader(&host);
    TNodesIF shown;
    auto* list = new TTreeList(shown, &host);
    layout->addWidget(header);
    layout->addWidget(list, 1);
    header->Sections().BeginUpdate();
    header->Sections().Add()->SetWidth(300);
    for (int i = 1; i < 64; ++i)
        header->Sections().Add()->SetWidth(16);
    header->Sections().EndUpdate();
    list->SetHeaderControl(header);

    auto t0 = Clock::now();
    TNodesIF& nodes = list->Items();
    TTreeNode* root = nodes.Add(nullptr, "root");
    for (int f = 0; f < 1000; ++f) {
        TTreeNode* folder = nodes.AddChild(root, "folder " + std::to_string(f));
        for (int i = 0; i < 99; ++i) {
            TTreeNode* n = nodes.AddChild(folder, "item " + std::to_string(i));
            for (int c = 0; c < 63; c += 7)
                n->SubItems()->SetText(c, std::to_string(c));
        }
    }
    list->expandAll();
    host.resize(1280, 800 + header->height());
    host.show();
    app.processEvents();
    auto t1 = Clock::now();

    const int kReps = 20;
    double paint = 1e30;
    for (int r = 0; r < kReps; ++r) {
        auto a = Clock::now();
        list->viewport()->grab();
        paint = std::min(paint, std::chrono::duration<double, std::milli>(Clock::now() - a).count());
    }
    double scroll = 1e30;
    QScrollBar* bar = list->verticalScrollBar();
    for (int r = 0; r < kReps; ++r) {
        auto a = Clock::now();
        bar->setValue(bar->value() + bar->pageStep());
        list->viewport()->grab();
        scroll = std::min(scroll, std::chrono::duration<double, std::milli>(Clock::now() - a).count());
    }
    std::printf("tree list: %d nodes built and expanded in %.0f ms; one 1280x800 paint %.2f ms; page scroll + paint "
                "%.2f ms (best of %d)\n",
                nodes.Count(), std::chrono::duration<double, std::milli>(t1 - t0).count(), paint, scroll, kReps);
    return 0;
}
