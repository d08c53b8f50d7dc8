// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The chart's pictures of a day, painted alike on the screen and on paper: the window passes its
// widgets' sizes, a printer its own, with the lines and marks scaled to its pixels.
#include "base/Date.h"

#include <QColor>
#include <QFont>

class QIcon;
class QPainter;
class QRect;

namespace quillo {

class TSchItem;

// A picture filling `target`: on paper larger than any of its pixmaps, so the largest is scaled.
void PaintPicture(QPainter& painter, const QIcon& icon, const QRect& target);

// A day column's cell in a row: the block of `value` (1..6, 0 a day off inside the period) with its
// frame and, on today, its mark; without a block (kCellNothing) the day's background: holiday,
// half holiday, or the weekday's stripe.
struct TCellScale {
    int Frame = 1; // a block's frame
    int Mark = 16; // the side of today's mark
};
void PaintDayCell(QPainter& painter, const QRect& cell, int value, int level, TDate day, TDate today,
                  const TCellScale& scale = {});

struct TDayHeaderLook {
    QFont Font;
    QColor Face; // the face of a day from tomorrow on
    QColor Text;
    QColor Highlight; // the selected day's
    QColor HighlightedText;
    TDate Today = 0;
    TDate Selected = 0; // none: 0
    int Unit = 1;       // the rule's width and the texts' spacing
};

// Month over day, ruled like a fraction, and the weekday below; the face says past, today or to
// come. Returns how far down from the cell's top the texts reach.
int PaintDayHeader(QPainter& painter, const QRect& cell, TDate day, const TDayHeaderLook& look);

// The marks at the left of an information cell.
struct TInfoMarks {
    bool Memo = false;
    bool Link = false;
    bool Repeat = false;
    bool RepeatUnderstood = false;
};
TInfoMarks InfoMarksOf(const TSchItem& item);
// Memo, link and repeat marks side by side, each `size` square; a mark an item lacks leaves its gap.
void PaintInfoMarks(QPainter& painter, const QRect& cell, const TInfoMarks& marks, int size = 16);

} // namespace quillo
