// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/StatusPanel.h"

#include <QPainter>

namespace quillo {

TStatusPanel::TStatusPanel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

QSize TStatusPanel::minimumSizeHint() const {
    return {0, fontMetrics().height()};
}

QSize TStatusPanel::sizeHint() const {
    return {width(), fontMetrics().height()};
}

namespace {
constexpr int kPadding = 2; // each side
QString OneLine(const QString& text) {
    return QString(text).replace('\n', ' ').replace('\r', ' ');
}
} // namespace

int TStatusPanel::FittingWidth() const {
    const QMargins m = contentsMargins();
    return fontMetrics().horizontalAdvance(OneLine(text())) + 2 * kPadding + m.left() + m.right() + 1;
}

void TStatusPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect r = contentsRect().adjusted(kPadding, 0, -kPadding, 0);
    const QString line = OneLine(text());
    const QString shown = fontMetrics().elidedText(line, Qt::ElideRight, r.width());
    const QString tip = shown == line ? QString() : line;
    if (toolTip() != tip) setToolTip(tip);
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter, shown);
}

} // namespace quillo
