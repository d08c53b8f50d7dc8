// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The pages of a printed chart on one paper: measured and laid out once, then painted page by
// page with the window's own pictures of days, blocks and marks. Every page has the title line,
// the name columns at the left, the day header at the top and "n / m" at the bottom.
#include "model/PrintLayout.h"
#include "print/PrintContent.h"

#include <QFont>
#include <QRect>

class QPagedPaintDevice;
class QPaintDevice;
class QPainter;

namespace quillo {

class TChartPages {
public:
    // `page` is the area to paint on each sheet, in the units of `device`, which also gives the
    // resolution. `content` must outlive the pages.
    TChartPages(const TPrintContent& content, const QPaintDevice& device, const QRect& page, bool fitWidth);

    int PageCount() const { return static_cast<int>(mLayout.Pages.size()); }
    const TPageLayout& Layout() const { return mLayout; }
    int RowHeight() const { return mRowHeight; }
    void PaintPage(QPainter& painter, int index) const;

private:
    int Pt(double points) const;
    int DayX(int dayInBand) const; // from the left of the day area
    void PaintTitle(QPainter& p) const;
    void PaintHeader(QPainter& p, int top, const TRun& band) const;
    void PaintRows(QPainter& p, int top, const TPrintPage& page) const;
    void PaintRuling(QPainter& p, int headerTop, int bottom, const TPrintPage& page) const;

    const TPrintContent& mContent;
    QRect mPage;
    double mPt; // device units per point
    QFont mFont, mTitleFont, mDayFont;
    int mUnit = 1; // a hairline
    int mRowHeight = 0, mTitleHeight = 0, mHeaderHeight = 0, mFooterHeight = 0;
    int mColumns[4] = {}; // name, begin, end, information
    int mIndent = 0, mMaxIndent = 0, mIcon = 0, mMargin = 0;
    TPageLayout mLayout;
};

// Every page into a device a painter is begun on, a new sheet between them.
void PaintAllPages(const TChartPages& pages, QPainter& painter, QPagedPaintDevice& device);

} // namespace quillo
