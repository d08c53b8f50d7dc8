// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/RepeatMark.h"

#include "controls/DrawnIcon.h"

#include "model/Repeat.h"
#include "model/SchItem.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace quillo {

namespace {
QIcon Draw(const QColor& colour) {
    return DrawnIcon([colour](QPainter& p) {
        p.setPen(QPen(colour, 1.6, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        const QRectF ring(3, 3, 10, 10);
        p.drawArc(ring, 20 * 16, 140 * 16);  // upper half, left to right
        p.drawArc(ring, 200 * 16, 140 * 16); // lower half, right to left
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawPolygon(QPolygonF({{1.2, 6.2}, {5.4, 6.2}, {3.3, 9.0}}));    // head on the left, pointing down
        p.drawPolygon(QPolygonF({{14.8, 9.8}, {10.6, 9.8}, {12.7, 7.0}})); // head on the right, pointing up
    });
}
} // namespace

const QIcon& RepeatMarkImage(bool understood) {
    static const QIcon known = Draw(QColor(0, 130, 110));
    static const QIcon unknown = Draw(QColor(150, 150, 150));
    return understood ? known : unknown;
}

int RepeatMarkSlot(bool memo, bool link) {
    return !memo ? 0 : !link ? 1 : 2;
}

bool OnRepeatMark(int offset, const TSchItem& item) {
    const int left = RepeatMarkSlot(!item.Memo.empty(), !item.Link.empty()) * kRepeatMarkWidth;
    return !item.Repeat.empty() && offset >= left && offset < left + kRepeatMarkWidth;
}

std::string RepeatMarkHint(const TSchItem& item) {
    return item.Repeat.empty() ? std::string() : RepeatHint(item.Repeat);
}

} // namespace quillo
