// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A label that behaves like a web link: it lights up under the pointer and, when Executable,
// opens its own caption with the desktop's default program as it is pressed.
#include <QColor>
#include <QLabel>

namespace quillo {

class IDesktop;

class TURLLabel : public QLabel {
    Q_OBJECT
public:
    explicit TURLLabel(IDesktop& desktop, const QString& text = {}, QWidget* parent = nullptr);

    bool Executable = false;
    bool HotTrack() const { return mHotTrack; }
    void SetHotTrack(bool on);
    QColor HotColor() const { return mHotColor; }
    void SetHotColor(const QColor& colour);
    QColor PushedColor() const { return mPushedColor; }
    void SetPushedColor(const QColor& colour);
    QColor FontColor() const; // the colour the caption is drawn in now

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void SetFontColor(const QColor& colour);

    IDesktop& mDesktop;
    bool mHotTrack = true;
    QColor mHotColor{0, 255, 255};
    QColor mPushedColor{255, 0, 0};
    QColor mNormalColor;
};

} // namespace quillo
