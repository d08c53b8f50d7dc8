// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/URLLabel.h"

#include "base/Desktop.h"

#include <QMouseEvent>

namespace quillo {

TURLLabel::TURLLabel(IDesktop& desktop, const QString& text, QWidget* parent)
    : QLabel(text, parent), mDesktop(desktop) {
    setCursor(Qt::PointingHandCursor);
    mNormalColor = FontColor();
}

QColor TURLLabel::FontColor() const {
    return palette().color(QPalette::WindowText);
}

void TURLLabel::SetFontColor(const QColor& colour) {
    QPalette p = palette();
    p.setColor(QPalette::WindowText, colour);
    setPalette(p);
    update();
}

void TURLLabel::SetHotTrack(bool on) {
    if (on != mHotTrack) {
        mHotTrack = on;
        update();
    }
}

void TURLLabel::SetHotColor(const QColor& colour) {
    if (colour != mHotColor) {
        mHotColor = colour;
        update();
    }
}

void TURLLabel::SetPushedColor(const QColor& colour) {
    if (colour != mPushedColor) {
        mPushedColor = colour;
        update();
    }
}

void TURLLabel::enterEvent(QEnterEvent* event) {
    QLabel::enterEvent(event);
    if (!mHotTrack) return;
    mNormalColor = FontColor();
    SetFontColor(mHotColor);
}

void TURLLabel::leaveEvent(QEvent* event) {
    QLabel::leaveEvent(event);
    if (mHotTrack) SetFontColor(mNormalColor);
}

void TURLLabel::mousePressEvent(QMouseEvent* event) {
    QLabel::mousePressEvent(event);
    if (mHotTrack) SetFontColor(mPushedColor);
    // The link opens on the press, not on the release.
    if (Executable) mDesktop.OpenDocument(text().toStdString());
}

void TURLLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (mHotTrack) SetFontColor(rect().contains(event->position().toPoint()) ? mHotColor : mNormalColor);
}

} // namespace quillo
