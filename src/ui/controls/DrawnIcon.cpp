// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/DrawnIcon.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>
#include <algorithm>
#include <vector>

namespace quillo {

namespace {
// Draws a picture the first time it is asked for at a size and mode, not when it is made: most
// are never shown, or never at twice the size, and drawing them all held up the first window.
class TDrawnIconEngine : public QIconEngine {
public:
    explicit TDrawnIconEngine(std::function<void(QPainter&)> draw) : mDraw(std::move(draw)) {}

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
        const int side = std::min(size.width(), size.height()); // square, as the pictures are
        for (const TDrawn& d : mDrawn)
            if (d.Side == side && d.Mode == mode) return d.Pixmap;
        QPixmap pm;
        if (mode == QIcon::Normal) {
            pm = QPixmap(side, side);
            pm.fill(Qt::transparent);
            QPainter p(&pm);
            p.setRenderHint(QPainter::Antialiasing);
            p.scale(side / 16.0, side / 16.0);
            mDraw(p);
        } else {
            // Greyed or highlighted by the style, as it does for a picture given as a pixmap.
            QStyleOption option;
            option.palette = QGuiApplication::palette();
            pm = QApplication::style()->generatedIconPixmap(mode, pixmap(size, QIcon::Normal, QIcon::Off), &option);
        }
        mDrawn.push_back({side, mode, pm});
        return pm;
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1;
        const int side = std::min(rect.width(), rect.height());
        QPixmap pm = pixmap(QSize(side, side) * ratio, mode, state);
        pm.setDevicePixelRatio(ratio);
        painter->drawPixmap(rect.x() + (rect.width() - side) / 2, rect.y() + (rect.height() - side) / 2, pm);
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = std::min(size.width(), size.height());
        return {side, side};
    }

    // The sizes the pictures are designed at; larger ones are drawn as well.
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override { return {QSize(16, 16), QSize(32, 32)}; }

    QIconEngine* clone() const override { return new TDrawnIconEngine(*this); }
    QString key() const override { return QStringLiteral("quillo-drawn"); }

private:
    struct TDrawn {
        int Side;
        QIcon::Mode Mode;
        QPixmap Pixmap;
    };
    std::function<void(QPainter&)> mDraw;
    std::vector<TDrawn> mDrawn;
};
} // namespace

QIcon DrawnIcon(const std::function<void(QPainter&)>& draw) {
    return QIcon(new TDrawnIconEngine(draw));
}

} // namespace quillo
