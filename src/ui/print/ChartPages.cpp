// SPDX-License-Identifier: GPL-3.0-or-later
#include "print/ChartPages.h"

#include "controls/TreeListPainter.h"
#include "main/Images.h"
#include "model/SchItem.h"

#include <QGuiApplication>
#include <QPagedPaintDevice>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace quillo {

namespace {
constexpr double kBodyPoints = 7;
constexpr double kTitlePoints = 9;
constexpr double kDayPoints = 6.5; // the day header's texts at most
constexpr double kSmallestDayPoints = 3.5;
constexpr double kLegibleDay = 14;    // points: the day header's texts at full size
constexpr double kNarrowestDay = 5.5; // points: the smallest texts still fit
constexpr double kWidestDay = 36;
const char* const kCaptions[4] = {"項目名", "開始予定", "終了予定", "情報"};
const TAlignment kAlignments[4] = {taLeftJustify, taCenter, taCenter, taRightJustify};
const QColor kFace(235, 235, 235);
const QColor kRule(200, 200, 200);
const QColor kBorder(90, 90, 90);
const QColor kTodayLine(220, 0, 0);

QFont Sized(const QFont& base, double points, bool bold = false) {
    QFont f = base;
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}
} // namespace

TChartPages::TChartPages(const TPrintContent& content, const QPaintDevice& device, const QRect& page, bool fitWidth)
    : mContent(content), mPage(page), mPt(device.logicalDpiY() / 72.0) {
    const QFont base = QGuiApplication::font();
    // Measured on the device: the screen's metrics would misplace every text on paper.
    QPaintDevice* on = const_cast<QPaintDevice*>(&device);
    mFont = Sized(base, kBodyPoints);
    mTitleFont = Sized(base, kTitlePoints, true);
    const QFontMetrics fm(mFont, on);
    mUnit = std::max(1, Pt(0.4));
    mMargin = Pt(2);
    mRowHeight = fm.height() + Pt(2.5);
    mIcon = std::min(mRowHeight - Pt(1.5), Pt(9));
    mIndent = Pt(8);
    mTitleHeight = QFontMetrics(mTitleFont, on).height() + Pt(5);
    mFooterHeight = fm.height() + Pt(4);
    mColumns[0] = std::clamp(page.width() / 4, Pt(110), Pt(220));
    mColumns[1] = mColumns[2] = fm.horizontalAdvance(QStringLiteral("0000/00/00(水)")) + 2 * mMargin;
    mColumns[3] = 3 * mIcon + fm.horizontalAdvance(QStringLiteral("000日残")) + 2 * mMargin;
    mMaxIndent = std::max(0, mColumns[0] - Pt(60) - mIcon);

    TPageGeometry g;
    g.Width = page.width();
    g.Height = page.height();
    g.NameColumns = mColumns[0] + mColumns[1] + mColumns[2] + mColumns[3];
    g.LegibleDay = Pt(kLegibleDay);
    g.NarrowestDay = Pt(kNarrowestDay);
    g.WidestDay = Pt(kWidestDay);
    // The day's width sets the header's texts, and their height the header's; the width does not
    // depend on the rows, so one pass without them finds it.
    const double dayWidth = LayOutPages({}, content.Days, g, fitWidth).DayWidth;
    double points = kDayPoints;
    for (; points > kSmallestDayPoints; points -= 0.25) {
        const QFontMetrics dm(Sized(base, points), on);
        const int widest =
            std::max(dm.horizontalAdvance(QStringLiteral("30")), dm.horizontalAdvance(QStringLiteral("水")));
        if (widest <= dayWidth * 0.9) break;
    }
    mDayFont = Sized(base, points);
    mHeaderHeight = 3 * QFontMetrics(mDayFont, on).height() + 3 * mUnit;
    g.Header = mTitleHeight + mHeaderHeight;
    g.Footer = mFooterHeight;
    mLayout = LayOutPages(std::vector<int>(content.Rows.size(), mRowHeight), content.Days, g, fitWidth);
}

int TChartPages::Pt(double points) const {
    return static_cast<int>(std::lround(points * mPt));
}

int TChartPages::DayX(int k) const {
    return static_cast<int>(std::lround(k * mLayout.DayWidth));
}

void TChartPages::PaintPage(QPainter& p, int index) const {
    const TPrintPage& page = mLayout.Pages[size_t(index)];
    const TRun band{page.FirstDay, page.Days};
    p.save();
    PaintTitle(p);
    const int headerTop = mPage.top() + mTitleHeight;
    PaintHeader(p, headerTop, band);
    const int bodyTop = headerTop + mHeaderHeight;
    PaintRows(p, bodyTop, page);
    PaintRuling(p, headerTop, bodyTop + page.Rows * mRowHeight, page);
    p.setFont(mFont);
    p.setPen(Qt::black);
    p.drawText(QRect(mPage.left(), mPage.bottom() + 1 - mFooterHeight, mPage.width(), mFooterHeight),
               Qt::AlignHCenter | Qt::AlignBottom, QStringLiteral("%1 / %2 ページ").arg(index + 1).arg(PageCount()));
    p.restore();
}

void TChartPages::PaintTitle(QPainter& p) const {
    const QRect line(mPage.left(), mPage.top(), mPage.width(), mTitleHeight - Pt(2));
    p.setPen(Qt::black);
    p.setFont(mFont);
    const QString range = QString::fromStdString(FormatDateWithDay(mContent.From) + " ～ " +
                                                 FormatDateWithDay(mContent.From + mContent.Days - 1));
    p.drawText(line, Qt::AlignHCenter | Qt::AlignBottom, range);
    p.drawText(line, Qt::AlignRight | Qt::AlignBottom, mContent.Printed);
    const int room = (line.width() - p.fontMetrics().horizontalAdvance(range)) / 2 - Pt(6);
    p.setFont(mTitleFont);
    p.drawText(line, Qt::AlignLeft | Qt::AlignBottom, p.fontMetrics().elidedText(mContent.Title, Qt::ElideRight, room));
}

void TChartPages::PaintHeader(QPainter& p, int top, const TRun& band) const {
    int x = mPage.left();
    p.setFont(mFont);
    p.setPen(Qt::black);
    for (int k = 0; k < 4; ++k) {
        const QRect cell(x, top, mColumns[k], mHeaderHeight);
        p.fillRect(cell, kFace);
        PaintCellText(p, cell, kAlignments[k], QString::fromUtf8(kCaptions[k]), mMargin);
        x += mColumns[k];
    }
    const TDayHeaderLook look{mDayFont, kFace, Qt::black, {}, {}, mContent.Today, 0, mUnit};
    for (int k = 0; k < band.Count; ++k) {
        const QRect cell(x + DayX(k), top, DayX(k + 1) - DayX(k), mHeaderHeight);
        PaintDayHeader(p, cell, mContent.From + band.First + k, look);
    }
}

void TChartPages::PaintRows(QPainter& p, int top, const TPrintPage& page) const {
    const int daysLeft = mPage.left() + mColumns[0] + mColumns[1] + mColumns[2] + mColumns[3];
    const int bottom = top + page.Rows * mRowHeight;
    const TCellScale scale{mUnit, std::min(mRowHeight, DayX(1)) - 2 * mUnit};
    // A day's background is the same in every row: one stroke for the column.
    for (int k = 0; k < page.Days; ++k) {
        const int day = page.FirstDay + k;
        PaintDayCell(p, QRect(daysLeft + DayX(k), top, DayX(k + 1) - DayX(k), bottom - top), kCellNothing,
                     mContent.Levels[size_t(day)], mContent.From + day, mContent.Today);
    }
    p.setFont(mFont);
    const QFontMetrics fm = p.fontMetrics();
    const auto& images = NodeImages();
    for (int r = 0; r < page.Rows; ++r) {
        const size_t row = size_t(page.FirstRow + r);
        const TPrintedRow& shown = mContent.Rows[row];
        const int y = top + r * mRowHeight;
        int x = mPage.left();
        const int indent = std::min(shown.Level * mIndent, mMaxIndent);
        const int iconTop = y + (mRowHeight - mIcon) / 2;
        if (shown.Image >= 0 && size_t(shown.Image) < images.size())
            PaintPicture(p, images[size_t(shown.Image)], QRect(x + mMargin + indent, iconTop, mIcon, mIcon));
        const int nameLeft = x + mMargin + indent + mIcon + mMargin;
        const int nameWidth = x + mColumns[0] - mMargin - nameLeft;
        p.setPen(Qt::black);
        PaintCellText(p, QRect(nameLeft, y, nameWidth, mRowHeight), taLeftJustify,
                      fm.elidedText(shown.Name, Qt::ElideRight, nameWidth), 0);
        x += mColumns[0];
        for (int k = 1; k <= 3; ++k) {
            const QRect cell(x, y, mColumns[k], mRowHeight);
            if (k == 3) PaintInfoMarks(p, QRect(x + mMargin, iconTop, mColumns[k], mIcon), shown.Marks, mIcon);
            PaintCellText(p, cell, kAlignments[k], shown.Texts[k - 1], mMargin);
            x += mColumns[k];
        }
        for (int k = 0; k < page.Days; ++k) {
            const int day = page.FirstDay + k;
            const int value = mContent.Cell(row, day);
            if (value < 0) continue; // the background is already there
            PaintDayCell(p, QRect(daysLeft + DayX(k), y, DayX(k + 1) - DayX(k), mRowHeight), value,
                         mContent.Levels[size_t(day)], mContent.From + day, mContent.Today, scale);
        }
    }
}

// Row and column rules, the frame, and the line at today.
void TChartPages::PaintRuling(QPainter& p, int headerTop, int bottom, const TPrintPage& page) const {
    const int left = mPage.left();
    const int daysLeft = left + mColumns[0] + mColumns[1] + mColumns[2] + mColumns[3];
    const int right = daysLeft + DayX(page.Days);
    const int bodyTop = headerTop + mHeaderHeight;
    p.setPen(QPen(kRule, mUnit));
    for (int r = 1; r <= page.Rows; ++r)
        p.drawLine(left, bodyTop + r * mRowHeight, right, bodyTop + r * mRowHeight);
    int x = left;
    for (int k = 0; k < 3; ++k) {
        x += mColumns[k];
        p.drawLine(x, headerTop, x, bottom);
    }
    const TDate first = mContent.From + page.FirstDay;
    if (mContent.Today >= first && mContent.Today < first + page.Days) {
        const int at = daysLeft + DayX(static_cast<int>(mContent.Today - first));
        p.setPen(QPen(kTodayLine, 2 * mUnit));
        p.drawLine(at, headerTop, at, bottom);
    }
    p.setPen(QPen(kBorder, mUnit));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(left, headerTop, right - left, bottom - headerTop));
    p.drawLine(left, bodyTop, right, bodyTop);
    p.drawLine(daysLeft, headerTop, daysLeft, bottom);
}

void PaintAllPages(const TChartPages& pages, QPainter& painter, QPagedPaintDevice& device) {
    for (int i = 0; i < pages.PageCount(); ++i) {
        if (i > 0) device.newPage();
        pages.PaintPage(painter, i);
    }
}

} // namespace quillo
