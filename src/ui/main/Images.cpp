// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/Images.h"

#include "controls/DrawnIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <functional>

namespace quillo {

namespace {
void Folder(QPainter& p, QColor fill) {
    QPainterPath path;
    path.moveTo(1.5, 4.5);
    path.lineTo(6, 4.5);
    path.lineTo(7.5, 6);
    path.lineTo(14.5, 6);
    path.lineTo(14.5, 13.5);
    path.lineTo(1.5, 13.5);
    path.closeSubpath();
    p.setPen(QPen(fill.darker(180), 1));
    p.setBrush(fill);
    p.drawPath(path);
}

void Sheet(QPainter& p, QColor fill, bool check) {
    p.setPen(QPen(fill.darker(180), 1));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(2.5, 1.5, 11, 13), 1.5, 1.5);
    if (check) {
        p.setPen(QPen(Qt::black, 1.6));
        p.drawPolyline(QPolygonF({{4.5, 8}, {7, 11}, {12, 4.5}}));
    }
}

void Glyph(QPainter& p, const QString& text, QColor colour) {
    QFont f = p.font();
    f.setPixelSize(11);
    f.setBold(true);
    p.setFont(f);
    p.setPen(colour);
    p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, text);
}

const int kStateOfFolderImage[] = {0, 2, 3, 1, 4, 5}; // images 1..5 → state
const int kStateOfToDoImage[] = {3, 2, 1, 4, 5};      // images 6..10 → state
} // namespace

QColor CellFill(int v) {
    static const QColor k[] = {{204, 204, 204}, {204, 102, 255}, {102, 102, 255}, {102, 255, 102},
                               {255, 255, 102}, {255, 102, 102}, {255, 0, 0}};
    return v >= 0 && v <= 6 ? k[v] : QColor(Qt::white);
}

QColor CellFrame(int v) {
    static const QColor k[] = {{153, 153, 153}, {128, 0, 128}, {0, 0, 255}, {0, 128, 0},
                               {128, 128, 0},   {128, 0, 0},   {128, 0, 0}};
    return v >= 0 && v <= 6 ? k[v] : QColor(Qt::white);
}

const std::vector<QIcon>& NodeImages() {
    static const std::vector<QIcon> images = [] {
        std::vector<QIcon> v;
        v.push_back(DrawnIcon([](QPainter& p) { // 0: the schedule itself, a bound book
            p.setPen(QPen(QColor(60, 60, 120), 1));
            p.setBrush(QColor(120, 140, 220));
            p.drawRect(QRectF(3.5, 1.5, 10, 13));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(5.5, 3.5, 6, 3));
        }));
        for (int i = 1; i <= 5; ++i)
            v.push_back(DrawnIcon([i](QPainter& p) { Folder(p, CellFill(kStateOfFolderImage[i])); }));
        for (int i = 0; i < 5; ++i)
            v.push_back(
                DrawnIcon([i](QPainter& p) { Sheet(p, CellFill(kStateOfToDoImage[i]), kStateOfToDoImage[i] == 1); }));
        v.push_back(DrawnIcon([](QPainter& p) { Folder(p, QColor(235, 235, 235)); })); // 11: empty folder
        for (int i = 12; i <= 14; ++i)
            v.push_back(QIcon());
        v.push_back(DrawnIcon([](QPainter& p) { // 15: a calendar page, the day list's root
            p.setPen(QPen(QColor(90, 90, 90), 1));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(1.5, 2.5, 13, 12));
            p.fillRect(QRectF(2, 3, 12, 3), QColor(220, 60, 60));
        }));
        v.push_back(DrawnIcon([](QPainter& p) { Glyph(p, "-", Qt::gray); })); // 16: nothing listed
        return v;
    }();
    return images;
}

const std::vector<QIcon>& ToolbarImages() {
    static const std::vector<QIcon> images = [] {
        std::vector<QIcon> v(tiToolImageCount);
        v[tiFileNew] = DrawnIcon([](QPainter& p) { Sheet(p, Qt::white, false); });
        v[tiFileOpen] = DrawnIcon([](QPainter& p) { Folder(p, QColor(250, 210, 100)); });
        v[tiFileSave] = DrawnIcon([](QPainter& p) { // save: a disk
            p.setPen(QPen(QColor(40, 40, 90), 1));
            p.setBrush(QColor(80, 110, 200));
            p.drawRect(QRectF(2.5, 2.5, 11, 11));
            p.fillRect(QRectF(5, 3, 6, 4), Qt::white);
        });
        v[tiFolderNew] = DrawnIcon([](QPainter& p) {
            Folder(p, QColor(250, 210, 100));
            Glyph(p, "+", QColor(0, 110, 0));
        });
        v[tiToDoNew] = DrawnIcon([](QPainter& p) {
            Sheet(p, Qt::white, false);
            Glyph(p, "+", QColor(0, 110, 0));
        });
        v[tiItemUp] = DrawnIcon([](QPainter& p) { Glyph(p, "▲", QColor(40, 70, 160)); });
        v[tiItemDown] = DrawnIcon([](QPainter& p) { Glyph(p, "▼", QColor(40, 70, 160)); });
        v[tiItemDelete] = DrawnIcon([](QPainter& p) { Glyph(p, "×", QColor(180, 0, 0)); });
        v[tiMarkUndone] = DrawnIcon([](QPainter& p) { Glyph(p, "□", QColor(60, 60, 60)); });
        v[tiMarkDone] = DrawnIcon([](QPainter& p) { Glyph(p, "☑", QColor(0, 120, 0)); });
        // Date shifts: which end moves, and which way.
        v[tiBeginLater] = DrawnIcon([](QPainter& p) { Glyph(p, "[→", QColor(40, 70, 160)); });
        v[tiBeginEarlier] = DrawnIcon([](QPainter& p) { Glyph(p, "←[", QColor(40, 70, 160)); });
        v[tiEndLater] = DrawnIcon([](QPainter& p) { Glyph(p, "]→", QColor(160, 70, 40)); });
        v[tiEndEarlier] = DrawnIcon([](QPainter& p) { Glyph(p, "←]", QColor(160, 70, 40)); });
        v[tiPeriodLater] = DrawnIcon([](QPainter& p) { Glyph(p, "⇒", QColor(60, 60, 60)); });
        v[tiPeriodEarlier] = DrawnIcon([](QPainter& p) { Glyph(p, "⇐", QColor(60, 60, 60)); });
        v[tiChartPrev] = DrawnIcon([](QPainter& p) { Glyph(p, "≪", QColor(40, 70, 160)); });
        v[tiChartPrev1] = DrawnIcon([](QPainter& p) { Glyph(p, "<", QColor(40, 70, 160)); });
        v[tiChartNext1] = DrawnIcon([](QPainter& p) { Glyph(p, ">", QColor(40, 70, 160)); });
        v[tiChartNext] = DrawnIcon([](QPainter& p) { Glyph(p, "≫", QColor(40, 70, 160)); });
        v[tiIntoTray] = DrawnIcon([](QPainter& p) { Glyph(p, "↘", QColor(60, 60, 60)); });
        v[tiOutOfTray] = DrawnIcon([](QPainter& p) { Glyph(p, "↖", QColor(60, 60, 60)); });
        v[tiTodaySchedule] = DrawnIcon([](QPainter& p) {
            Sheet(p, QColor(255, 255, 210), false);
            Glyph(p, "日", QColor(160, 0, 0));
        });
        v[tiPaste] = DrawnIcon([](QPainter& p) { Glyph(p, "貼", QColor(60, 60, 60)); });
        v[tiCopy] = DrawnIcon([](QPainter& p) { Glyph(p, "写", QColor(60, 60, 60)); });
        v[tiItemProperty] = DrawnIcon([](QPainter& p) { // a sheet with a pen
            Sheet(p, Qt::white, false);
            p.setPen(QPen(QColor(60, 60, 160), 1.5));
            p.drawLine(QPointF(6, 12), QPointF(13, 5));
        });
        v[tiChartView] = DrawnIcon([](QPainter& p) { // chart view
            for (int r = 0; r < 3; ++r)
                p.fillRect(QRectF(2 + r * 3, 3 + r * 4, 8, 3), CellFill(2 + r));
        });
        v[tiMemo] = DrawnIcon([](QPainter& p) { // memo
            p.setPen(QPen(QColor(150, 120, 0), 1));
            p.setBrush(QColor(255, 240, 150));
            p.drawRect(QRectF(2.5, 2.5, 11, 11));
            p.drawLine(QPointF(4.5, 6.5), QPointF(11.5, 6.5));
            p.drawLine(QPointF(4.5, 9.5), QPointF(11.5, 9.5));
        });
        v[tiLink] = DrawnIcon([](QPainter& p) { // link: two chain rings
            p.setPen(QPen(QColor(30, 90, 200), 1.6));
            p.setBrush(Qt::NoBrush);
            p.drawRoundedRect(QRectF(1.5, 5.5, 8, 5), 2.5, 2.5);
            p.drawRoundedRect(QRectF(6.5, 5.5, 8, 5), 2.5, 2.5);
        });
        v[tiListView] = DrawnIcon([](QPainter& p) { // list view
            for (int r = 0; r < 4; ++r)
                p.fillRect(QRectF(2, 2.5 + r * 3.5, 12, 2), QColor(90, 90, 90));
        });
        v[tiAutoSave] = DrawnIcon([](QPainter& p) { // save with autosave: the disk with a clock hand
            p.setPen(QPen(QColor(40, 90, 40), 1));
            p.setBrush(QColor(90, 180, 90));
            p.drawRect(QRectF(2.5, 2.5, 11, 11));
            p.setPen(QPen(Qt::white, 1.4));
            p.drawLine(QPointF(8, 8), QPointF(8, 4.5));
            p.drawLine(QPointF(8, 8), QPointF(11, 8));
        });
        return v;
    }();
    return images;
}

const std::vector<QIcon>& ChartMarks() {
    static const std::vector<QIcon> images = [] {
        std::vector<QIcon> v(4);
        v[cmInProgress] = DrawnIcon([](QPainter& p) { Glyph(p, "▶", QColor(0, 100, 0)); }); // in progress today
        v[cmCaution] = DrawnIcon([](QPainter& p) { Glyph(p, "!", QColor(110, 110, 0)); });  // caution
        v[cmWarning] = DrawnIcon([](QPainter& p) { Glyph(p, "×", QColor(110, 0, 0)); });    // warning, overdue
        return v;
    }();
    return images;
}

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 22, 32, 48, 64, 256})
        icon.addFile(QStringLiteral(":/icons/quillo-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace quillo
