// SPDX-License-Identifier: GPL-3.0-or-later
// Benchmark: the chart as a PDF from a script (`quillo --print-pdf --expand-all`, settings read,
// schedule loaded, PDF written), and the pages a print preview asks for, on schedules of 1 000
// and 10 000 items with every folder open. Run with QT_QPA_PLATFORM=offscreen.
#include "Median.h"
#include "base/Clock.h"
#include "model/Calendar.h"
#include "model/Document.h"
#include "model/NodesIF.h"
#include "model/SchItem.h"
#include "model/ScheduleFormat.h"
#include "print/ChartPages.h"
#include "print/PrintContent.h"
#include "print/PrintPdf.h"
#include "shell/PrintPdfArgs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <cstdio>
#include <filesystem>
#include <sstream>

using namespace quillo;

namespace {
// Folders of 20 to-dos spread over three months, half of them with a memo, a tenth done.
std::string MakeFile(const std::string& dir, int items, TDate today) {
    TNodesIF nodes;
    nodes.SetOwnsData(true);
    TTreeNode* root = CreateScheduleRoot(nodes, "bench");
    TTreeNode* folder = nullptr;
    for (int i = 0; i < items; ++i) {
        if (i % 20 == 0) {
            folder = nodes.AddChild(root, "工程 " + std::to_string(i / 20));
            BindItem(folder, TSchFolder::Create(folder->Text(), folder));
        }
        TTreeNode* n = nodes.AddChild(folder, "作業 " + std::to_string(i));
        BindItem(n, TSchToDo::Create(n->Text(), n, i % 10 == 0, today - 30 + i % 60, today - 20 + i % 60 + i % 13, 0,
                                     i % 2 ? "memo" : ""));
    }
    std::string path = dir + "/print" + std::to_string(items) + ".qlp";
    WriteScheduleFile(path, BuildScheduleText(nodes, today, false, today), false);
    return path;
}

template <typename F> double Seconds(F&& f) {
    QElapsedTimer t;
    t.start();
    f();
    return t.nsecsElapsed() / 1e9;
}
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const std::string dir = (std::filesystem::temp_directory_path() / "quillo-print-bench").string();
    std::filesystem::create_directories(dir);
    const std::string config = dir + "/config";
    std::filesystem::create_directories(config);
    const TClock& clock = DefaultClock();
    std::printf("%-46s %10s %8s %10s\n", "", "seconds", "pages", "PDF bytes");
    for (int items : {1000, 10000}) {
        const std::string file = MakeFile(dir, items, clock.Today());
        for (int days : {60, 366}) {
            TPrintPdfArgs args;
            args.Output = dir + "/out.pdf";
            args.File = file;
            args.Days = days;
            args.AllOpen = true;
            std::vector<double> runs;
            for (int r = 0; r < 3; ++r) {
                std::ostringstream err;
                runs.push_back(Seconds([&] {
                    if (PrintPdf(args, clock, config, err) != 0) std::fprintf(stderr, "%s", err.str().c_str());
                }));
            }
            char label[64];
            std::snprintf(label, sizeof label, "--print-pdf --expand-all, %d items, %d days", items, days);
            std::printf("%-46s %10.3f %8s %10ju\n", label, Median(runs), "",
                        uintmax_t(std::filesystem::file_size(args.Output)));
        }

        // The preview: what it asks for when it opens, the pages of A4 landscape in pictures.
        TCalendar calendar;
        TChart chart{calendar};
        chart.SetChartDate(clock.Today() - 7);
        const TEvalContext ctx{clock.Today(), &calendar, &chart};
        TDocument document;
        document.FileName = file;
        document.Load(&ctx);
        TPrintChoice choice{chart.ChartDate(), 60, true, true};
        TPrintContent content;
        const double collect = Seconds([&] { content = CollectPrintContent(document, ctx, choice, clock.Now()); });
        QPrinter printer(QPrinter::HighResolution);
        printer.setPageLayout(DefaultPageLayout());
        QPrintPreviewWidget preview(&printer);
        int pages = 0;
        QObject::connect(&preview, &QPrintPreviewWidget::paintRequested, [&](QPrinter* p) {
            QPainter painter(p);
            const QRect area(QPoint(0, 0), p->pageLayout().paintRectPixels(p->resolution()).size());
            const TChartPages chartPages(content, *p, area, true);
            PaintAllPages(chartPages, painter, *p);
            pages = chartPages.PageCount();
        });
        const double painted = Seconds([&] { preview.updatePreview(); });
        char label[64];
        std::snprintf(label, sizeof label, "preview, %d items: rows taken", items);
        std::printf("%-46s %10.3f\n", label, collect);
        std::snprintf(label, sizeof label, "preview, %d items: pages painted", items);
        std::printf("%-46s %10.3f %8d\n", label, painted, pages);
    }
    std::filesystem::remove_all(dir);
    return 0;
}
