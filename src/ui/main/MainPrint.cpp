// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/MainPrint.h"

#include "base/Clock.h"
#include "base/Desktop.h"
#include "base/Exceptions.h"
#include "base/FileNames.h"
#include "base/SafeFile.h"
#include "controls/TreeList.h"
#include "main/MainCommands.h"
#include "model/Chart.h"
#include "model/Document.h"
#include "print/ChartPages.h"
#include "print/PrintContent.h"
#include "print/PrintOptionsDialog.h"
#include "print/PrintPdf.h"

#include <QApplication>
#include <QPaintEngine>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace quillo {

namespace {
// The hourglass while pages are made, on every way out.
class TWaitCursor {
public:
    TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};

// A print to a PDF file, as the print dialog offers it; not the preview's pictures of the pages.
bool PrintsToPdfFile(QPrinter& printer) {
    const QPaintEngine* engine = printer.paintEngine();
    return printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty() && engine &&
           engine->type() == QPaintEngine::Pdf;
}

std::string SaveFailure(const std::string& path, const EFileWriteError& e) {
    return path + " の保存に失敗しました。\r\n" + SystemReason(e.Error);
}

// The PDF written to `path`, unless that is the schedule's own file.
void WritePdfFor(const TDocument& document, const std::string& path, const TPrintContent& content,
                 const QPageLayout& layout, bool fitWidth) {
    if (SameFile(path, document.FileName))
        throw ESaveError(path + " は編集中の予定表です。\r\nPDFで上書きすることはできません。");
    try {
        WriteChartPdf(path, content, layout, fitWidth);
    } catch (const EFileWriteError& e) {
        throw ESaveError(SaveFailure(path, e));
    }
}
} // namespace

TMainPrint::TMainPrint(const TMainContext& context, TAsk ask, TPreview preview)
    : mContext(context), mAsk(std::move(ask)), mPreview(std::move(preview)), mPdfPage(DefaultPageLayout()) {
    QWidget* window = context.Tree.window();
    if (!mAsk)
        mAsk = [this, window](TPrintChoice& choice, QPageLayout* page) {
            TPrintOptionsDialog dialog(choice, page, mContext.Chart.ChartDate(), window);
            if (dialog.exec() != QDialog::Accepted) return false;
            choice = dialog.Choice();
            if (page) *page = dialog.Page();
            return true;
        };
    if (!mPreview)
        mPreview = [window](QPrinter& printer, const std::function<void(QPrinter&)>& paint) {
            QPrintPreviewDialog preview(&printer, window);
            QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                             [&paint](QPrinter* p) { paint(*p); });
            preview.exec();
        };
    auto open = [this] { return mContext.Document.IsOpen(); };
    context.Commands.Bind(
        "ActionFilePrint", [this] { ActionFilePrintExecute(); }, open);
    context.Commands.Bind(
        "ActionFileExportPdf", [this] { ActionFileExportPdfExecute(); }, open);
}

TMainPrint::~TMainPrint() = default;

bool TMainPrint::Ask(QPageLayout* page) {
    mChoice.From = mContext.Chart.ChartDate();
    mChoice.Days = kChartDays;
    return mAsk(mChoice, page);
}

void TMainPrint::Collect() {
    TWaitCursor wait;
    mContent = std::make_unique<TPrintContent>(
        CollectPrintContent(mContext.Document, mContext.Eval, mChoice, mContext.Clock.Now()));
}

void TMainPrint::ActionFilePrintExecute() {
    if (!mContext.Document.IsOpen() || !Ask(nullptr)) return;
    Collect();
    QPrinter printer(QPrinter::HighResolution);
    // Landscape on the printer's own paper; A4 when it names none.
    if (!printer.pageLayout().pageSize().isValid()) printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(QString::fromStdString(mContext.Document.Title));
    printer.setCreator(QStringLiteral("Quillo"));
    // The preview asks for the pages again whenever its paper changes; an error is shown, not thrown
    // through the dialog.
    mPreview(printer, [this](QPrinter& p) { mContext.Commands.Run([this, &p] { PaintRequested(p); }); });
}

void TMainPrint::ActionFileExportPdfExecute() {
    const TDocument& document = mContext.Document;
    QPageLayout page = mPdfPage;
    if (!document.IsOpen() || !Ask(&page)) return;
    mPdfPage = page;
    const std::string path =
        mContext.Desktop.FileDialog({"PDFにエクスポート", "PDF(*.pdf)|*.pdf", "pdf", document.Title, true});
    if (path.empty()) return;
    Collect();
    TWaitCursor wait;
    WritePdfFor(document, path, *mContent, mPdfPage, mChoice.FitWidth);
}

void TMainPrint::PaintRequested(QPrinter& printer) {
    if (!mContent) return;
    TWaitCursor wait;
    if (PrintsToPdfFile(printer)) {
        WritePdfFor(mContext.Document, printer.outputFileName().toStdString(), *mContent, printer.pageLayout(),
                    mChoice.FitWidth);
        return;
    }
    QPainter painter;
    if (!painter.begin(&printer)) throw EQuilloError("印刷を開始できませんでした。");
    const QRect area(QPoint(0, 0), printer.pageLayout().paintRectPixels(printer.resolution()).size());
    const TChartPages pages(*mContent, printer, area, mChoice.FitWidth);
    PaintAllPages(pages, painter, printer);
    mPaintedPages = pages.PageCount();
}

} // namespace quillo
