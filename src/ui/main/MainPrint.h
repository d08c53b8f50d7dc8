// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Printing the chart: the choices, the print preview with the platform's print dialog behind it,
// and the PDF export. What is printed is taken from the schedule once per command, so the preview
// lays out and paints only when its paper changes.
#include "main/MainContext.h"
#include "model/PrintRows.h"

#include <QPageLayout>
#include <functional>
#include <memory>

class QPrinter;

namespace quillo {

struct TPrintContent;

class TMainPrint {
public:
    // Asks for the choices, and the paper when `page` is given (a PDF); false cancels. The
    // default is the options dialog; tests answer for it.
    using TAsk = std::function<bool(TPrintChoice& choice, QPageLayout* page)>;
    // Shows the preview of `printer` (tests close it or look into it).
    using TPreview = std::function<void(QPrinter& printer, const std::function<void(QPrinter&)>& paint)>;

    explicit TMainPrint(const TMainContext& context, TAsk ask = {}, TPreview preview = {});
    ~TMainPrint();

    void ActionFilePrintExecute();
    void ActionFileExportPdfExecute();
    // The pages of the last choice on the printer's paper: what the preview and the print ask for.
    // A print to a PDF file is written through a temporary file, like every file the program writes.
    void PaintRequested(QPrinter& printer);
    int PaintedPages() const { return mPaintedPages; }

private:
    bool Ask(QPageLayout* page); // the choice starts at the chart's days, the rest as last time
    void Collect();

    const TMainContext& mContext;
    TAsk mAsk;
    TPreview mPreview;
    TPrintChoice mChoice;
    QPageLayout mPdfPage;
    std::unique_ptr<TPrintContent> mContent;
    int mPaintedPages = 0;
};

} // namespace quillo
