// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/ChartPaint.h"

#include "controls/RepeatMark.h"
#include "main/Images.h"
#include "model/Calendar.h"
#include "model/Repeat.h"
#include "model/SchItem.h"

#include <QIcon>
#include <QPainter>

namespace quillo {

void PaintPicture(QPainter& p, const QIcon& icon, const QRect& r) {
    const QList<QSize> sizes = icon.availableSizes();
    if (sizes.isEmpty() || (r.width() <= sizes.last().width() && r.height() <= sizes.last().height()))
        icon.paint(&p, r);
    else
        p.drawPixmap(r, icon.pixmap(sizes.last()));
}

void PaintDayCell(QPainter& p, const QRect& r, int value, int level, TDate d, TDate today, const TCellScale& scale) {
    QColor fill, frame;
    const bool block = value >= 0 && value <= kCellOverdue;
    if (block) {
        fill = CellFill(value);
        frame = CellFrame(value);
    } else {
        fill = level == dlHoliday       ? QColor(255, 153, 153)
               : level == dlHalfHoliday ? QColor(255, 204, 204)
               : DayOfWeek(d) % 2 == 0  ? QColor(Qt::white)
                                        : QColor(238, 238, 238);
        frame = fill;
    }
    // The frame as a filled rectangle under the fill: the same pixels as an outline, without
    // changing the painter's state thousands of times a paint.
    if (frame == fill) {
        p.fillRect(r, fill);
    } else {
        p.fillRect(r, frame);
        const int f = scale.Frame;
        p.fillRect(r.adjusted(f, f, -f, -f), fill);
    }
    static const int kMark[] = {cmNone, cmNone, cmNone, cmInProgress, cmCaution, cmWarning, cmWarning};
    if (d != today || !block || !kMark[value]) return;
    const int size = scale.Mark;
    PaintPicture(
        p, ChartMarks()[size_t(kMark[value])],
        QRect((r.left() + r.right() + 1) / 2 - size / 2, (r.top() + r.bottom() + 1) / 2 - size / 2, size, size));
}

int PaintDayHeader(QPainter& p, const QRect& r, TDate d, const TDayHeaderLook& look) {
    const bool selected = d == look.Selected;
    if (selected)
        p.fillRect(r, look.Highlight);
    else if (d < look.Today)
        p.fillRect(r, QColor(128, 128, 128));
    else if (d == look.Today)
        p.fillRect(r, QColor(255, 255, 153));
    else
        p.fillRect(r, look.Face);
    p.setFont(look.Font);
    const QColor text = selected ? look.HighlightedText : look.Text;
    const QFontMetrics fm(look.Font, p.device());
    const int cx = (r.left() + r.right() + 1) / 2;
    int y = r.top() + look.Unit;
    int year, month, day;
    DecodeDate(d, year, month, day);
    auto centred = [&](const QString& t, QColor c) {
        p.setPen(c);
        const int w = fm.horizontalAdvance(t);
        p.drawText(QRect(cx - w / 2, y, w + 2 * look.Unit, fm.height()), Qt::AlignLeft | Qt::AlignTop, t);
    };
    centred(QString::number(month), text);
    y += fm.height();
    const QPoint ruleFrom(r.left() + look.Unit, y - 2 * look.Unit);
    centred(QString::number(day), text);
    p.setPen(QPen(selected ? look.HighlightedText : QColor(Qt::black), look.Unit));
    p.drawLine(ruleFrom, QPoint(r.right() + 1 - 3 * look.Unit, ruleFrom.y()));
    y += fm.height();
    const int dow = DayOfWeek(d);
    QColor dayColour = dow == 1 ? QColor(255, 0, 0) : dow == 7 ? QColor(0, 0, 255) : QColor(Qt::black);
    if (selected) dayColour = look.HighlightedText;
    const QString name = QString::fromUtf8(ShortDayName(dow));
    p.setPen(dayColour);
    p.drawText(QPoint(cx - fm.horizontalAdvance(name) / 2 + look.Unit, y - look.Unit + fm.ascent()), name);
    y += fm.height();
    return y - r.top();
}

TInfoMarks InfoMarksOf(const TSchItem& item) {
    TInfoMarks marks;
    marks.Memo = !item.Memo.empty();
    marks.Link = !item.Link.empty();
    marks.Repeat = !item.Repeat.empty();
    marks.RepeatUnderstood = marks.Repeat && ParseRepeatRule(item.Repeat).has_value();
    return marks;
}

void PaintInfoMarks(QPainter& p, const QRect& r, const TInfoMarks& marks, int size) {
    const auto& images = ToolbarImages();
    if (marks.Memo) PaintPicture(p, images[tiMemo], QRect(r.left(), r.top(), size, size));
    if (marks.Link) PaintPicture(p, images[tiLink], QRect(r.left() + size, r.top(), size, size));
    if (marks.Repeat)
        PaintPicture(p, RepeatMarkImage(marks.RepeatUnderstood),
                     QRect(r.left() + RepeatMarkSlot(marks.Memo, marks.Link) * size, r.top(), size, size));
}

} // namespace quillo
