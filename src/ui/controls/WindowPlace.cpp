// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/WindowPlace.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace quillo {

namespace {
// A title bar and thin borders, until a window manager has shown its own.
QMargins gLastMargins(4, 28, 4, 4);
// Long enough for a window manager to have framed a window just mapped.
constexpr int kFramedMs = 200;

QList<QRect> ScreenAreas() {
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas << screen->availableGeometry();
    return areas;
}

QRect PrimaryArea() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}
} // namespace

QRect FitFrame(const QRect& frame, const QList<QRect>& areas, const QRect& fallback) {
    QRect area = fallback;
    qint64 best = 0;
    for (const QRect& a : areas) {
        const QRect common = a & frame;
        const qint64 size = common.isEmpty() ? 0 : qint64(common.width()) * common.height();
        if (size > best) {
            best = size;
            area = a;
        }
    }
    if (area.isEmpty()) return frame;
    QRect r = frame;
    if (r.right() > area.right()) r.moveRight(area.right());
    if (r.bottom() > area.bottom()) r.moveBottom(area.bottom());
    if (r.left() < area.left()) r.moveLeft(area.left());
    if (r.top() < area.top()) r.moveTop(area.top());
    return r;
}

QPoint CentredFrame(const QSize& size, const QRect& area) {
    QRect r(QPoint(), size);
    r.moveCenter(area.center());
    return FitFrame(r, {area}, area).topLeft();
}

QMargins FrameMargins(const QWidget& window) {
    if (window.isVisible()) {
        const QRect frame = window.frameGeometry(), client = window.geometry();
        if (frame != client)
            gLastMargins = QMargins(client.left() - frame.left(), client.top() - frame.top(),
                                    frame.right() - client.right(), frame.bottom() - client.bottom());
    }
    return gLastMargins;
}

QRect FrameRect(const QWidget& window) {
    return QRect(window.pos(), window.size().grownBy(FrameMargins(window)));
}

// Moved before the window exists on the screen, the position is the frame's: the window
// manager is told so, and places the frame there.
void PlaceFrame(QWidget& window, const QPoint& pos) {
    const QRect frame(pos, window.size().grownBy(FrameMargins(window)));
    window.move(FitFrame(frame, ScreenAreas(), PrimaryArea()).topLeft());
}

void CentreOnPrimaryScreen(QWidget& window) {
    const QRect area = PrimaryArea();
    if (area.isEmpty()) return;
    window.move(CentredFrame(window.size().grownBy(FrameMargins(window)), area));
}

void KeepOnScreenWhenFramed(QWidget& window) {
    QTimer::singleShot(kFramedMs, &window, [w = QPointer<QWidget>(&window)] {
        if (!w || !w->isVisible() || (w->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized))) return;
        const QRect frame = FrameRect(*w);
        const QRect fitted = FitFrame(frame, ScreenAreas(), PrimaryArea());
        if (fitted != frame) w->move(fitted.topLeft());
    });
}

} // namespace quillo
