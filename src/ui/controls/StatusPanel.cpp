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

void TStatusPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect r = contentsRect().adjusted(2, 0, -2, 0);
    const QString line = QString(text()).replace('\n', ' ').replace('\r', ' ');
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter, fontMetrics().elidedText(line, Qt::ElideRight, r.width()));
}

} // namespace quillo
