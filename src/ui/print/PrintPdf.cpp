// SPDX-License-Identifier: GPL-3.0-or-later
#include "print/PrintPdf.h"

#include "base/Clock.h"
#include "base/FileNames.h"
#include "base/SafeFile.h"
#include "base/StrUtil.h"
#include "model/Calendar.h"
#include "model/Chart.h"
#include "model/Document.h"
#include "model/ScheduleFormat.h"
#include "print/ChartPages.h"
#include "print/PrintContent.h"
#include "settings/ConfigPaths.h"
#include "settings/Settings.h"
#include "shell/PrintPdfArgs.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <iostream>

namespace quillo {

namespace {
const char* const kUsage =
    "usage: quillo --print-pdf OUT.pdf [--from DATE] [--days N] [--expand-all] [--legible] FILE\n";

std::string OneLine(const std::string& message) {
    return ReplaceAll(message, "\r\n", ": ");
}
} // namespace

QPageLayout DefaultPageLayout() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10),
                       QPageLayout::Millimeter);
}

QByteArray ChartPdf(const TPrintContent& content, const QPageLayout& layout, bool fitWidth) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageLayout(layout);
        writer.setTitle(content.Title);
        writer.setCreator(QStringLiteral("Quillo"));
        QPainter painter(&writer);
        const QRect page(QPoint(0, 0), layout.paintRectPixels(writer.resolution()).size());
        const TChartPages pages(content, writer, page, fitWidth);
        PaintAllPages(pages, painter, writer);
    } // the writer finishes the file as it goes
    return bytes;
}

void WriteChartPdf(const std::string& path, const TPrintContent& content, const QPageLayout& layout, bool fitWidth) {
    const QByteArray pdf = ChartPdf(content, layout, fitWidth);
    WriteFileAtomic(path, std::string_view(pdf.constData(), size_t(pdf.size())), "~pdf");
}

int RunPrintPdf(int& argc, char** argv, const std::vector<std::string>& args) {
    TPrintPdfArgs parsed;
    try {
        parsed = ParsePrintPdfArgs(args);
    } catch (const EPrintPdfUsage& e) {
        std::cerr << "quillo: " << e.what() << "\n" << kUsage;
        return peUsage;
    }
    // Painting needs Qt's fonts and pictures, not a screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt's start-up warns about the session a script runs in (no XDG_RUNTIME_DIR under cron), which
    // says nothing about the PDF; a script reads its standard error as the PDF's failure.
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
            if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << "quillo: " << message.toStdString() << "\n";
        });
    QGuiApplication app(argc, argv);
    qInstallMessageHandler(previous);
    return PrintPdf(parsed, DefaultClock(), ConfigDirectory(), std::cerr);
}

int PrintPdf(const TPrintPdfArgs& args, const TClock& clock, const std::string& configDir, std::ostream& err) {
    auto fail = [&err](const std::string& message, int status) {
        err << "quillo: " << OneLine(message) << "\n";
        return status;
    };
    TCalendar calendar;
    TChart chart{calendar};
    int offset = kDefaultChartOffset;
    std::string error;
    if (!ReadCalendarFiles(configDir, calendar, offset, error)) return fail(error, peUnreadable);
    const TDate today = clock.Today();
    chart.SetChartDate(today + offset);
    const TEvalContext ctx{today, &calendar, &chart};
    TPrintChoice choice;
    choice.From = args.From.value_or(chart.ChartDate());
    choice.Days = args.Days;
    choice.AllOpen = args.AllOpen;
    choice.FitWidth = !args.Legible;
    if (choice.From + choice.Days - 1 > kLastItemDate)
        return fail("the days printed would run past 9999/12/31", peUsage);

    // Swapped or repeated names would put the PDF where the schedule was.
    if (SameFile(args.Output, args.File))
        return fail(args.Output + ": this is the schedule being printed; it is not replaced by its PDF", peUsage);
    TDocument document;
    document.FileName = args.File;
    std::string text;
    if (!ReadWholeFile(args.File, text, error)) return fail(args.File + ": " + error, peUnreadable);
    try {
        const TDocument::TLoadResult r = document.LoadText(text, ScheduleTitleOf(args.File), &ctx);
        // A part of a schedule printed as if it were all of it would mislead.
        if (!r.Complete) return fail(args.File + ": " + r.BadLine, peBadLine);
    } catch (const ELoadError& e) {
        return fail(e.what(), peUnreadable);
    }
    try {
        WriteChartPdf(args.Output, CollectPrintContent(document, ctx, choice, clock.Now()), DefaultPageLayout(),
                      choice.FitWidth);
    } catch (const EFileWriteError& e) {
        return fail(e.what(), peNotWritten);
    }
    return peOk;
}

} // namespace quillo
