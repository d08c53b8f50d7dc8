// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's pictures are drawn, not loaded, at the size they are shown at (16x16, or twice that
// on dense screens).
#include <QIcon>
#include <functional>

class QPainter;

namespace quillo {

// `draw` paints in a 16x16 coordinate space, antialiased.
QIcon DrawnIcon(const std::function<void(QPainter&)>& draw);

} // namespace quillo
