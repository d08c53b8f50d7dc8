// SPDX-License-Identifier: GPL-3.0-or-later
// Drawn pictures: drawn when first shown, then the same pixels wherever they are asked for.
#include "controls/DrawnIcon.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>
#include <gtest/gtest.h>

using namespace quillo;

namespace {
void Picture(QPainter& p) {
    p.setPen(QPen(Qt::darkBlue, 1));
    p.setBrush(QColor(250, 210, 100));
    p.drawRect(QRectF(1.5, 3.5, 9, 11)); // off centre, so that a shifted copy shows
    p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("+"));
}

// What the picture is at a scale, drawn directly.
QImage Direct(int scale) {
    QPixmap pm(16 * scale, 16 * scale);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    Picture(p);
    p.end();
    return pm.toImage();
}
} // namespace

TEST(DrawnIcon, DrawnOnceWhenFirstAskedForAndTheSamePixelsAsDrawnDirectly) {
    int drawn = 0;
    const QIcon icon = DrawnIcon([&drawn](QPainter& p) {
        ++drawn;
        Picture(p);
    });
    EXPECT_FALSE(icon.isNull());
    EXPECT_EQ(drawn, 0);
    EXPECT_EQ(icon.actualSize(QSize(16, 16)), QSize(16, 16));
    EXPECT_EQ(icon.pixmap(QSize(16, 16), 1.0).toImage(), Direct(1));
    EXPECT_EQ(icon.pixmap(QSize(16, 16), 1.0).toImage(), Direct(1));
    EXPECT_EQ(drawn, 1);
    EXPECT_EQ(icon.pixmap(QSize(16, 16), 2.0).toImage(), Direct(2)); // a dense screen
    EXPECT_EQ(drawn, 2);
    const QIcon copy = icon; // copies share what was drawn
    EXPECT_EQ(copy.pixmap(QSize(32, 32), 1.0).toImage(), Direct(2));
    EXPECT_EQ(drawn, 2);
}

TEST(DrawnIcon, PaintedWhereAskedAndGreyedByTheStyleWhenDisabled) {
    const QIcon icon = DrawnIcon(Picture);
    QPixmap canvas(24, 24);
    canvas.fill(Qt::transparent);
    QPainter p(&canvas);
    icon.paint(&p, QRect(3, 5, 16, 16));
    p.end();
    EXPECT_EQ(canvas.toImage().copy(3, 5, 16, 16), Direct(1));
    const QImage painted = canvas.toImage();
    for (int y = 0; y < 24; ++y) // nothing outside the rectangle
        for (int x = 0; x < 24; ++x)
            if (!QRect(3, 5, 16, 16).contains(x, y)) {
                EXPECT_EQ(qAlpha(painted.pixel(x, y)), 0) << x << "," << y;
            }

    QStyleOption option;
    option.palette = QGuiApplication::palette();
    const QPixmap normal = icon.pixmap(QSize(16, 16), 1.0);
    const QImage greyed =
        QApplication::style()->generatedIconPixmap(QIcon::Disabled, QPixmap::fromImage(Direct(1)), &option).toImage();
    EXPECT_EQ(icon.pixmap(QSize(16, 16), 1.0, QIcon::Disabled).toImage(), greyed);
    EXPECT_NE(greyed, normal.toImage());
}
