// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/DrawnIcon.h"

#include <QPainter>
#include <QPixmap>

namespace quillo {

QIcon DrawnIcon(const std::function<void(QPainter&)>& draw) {
    QIcon icon;
    for (int scale : {1, 2}) {
        QPixmap pm(16 * scale, 16 * scale);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(scale, scale);
        draw(p);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

} // namespace quillo
