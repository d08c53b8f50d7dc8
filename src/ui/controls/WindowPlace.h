// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the program's top-level windows stand. A place is kept as the frame's top-left corner
// (what the window manager places and the user drags) and the client's size, and put back the
// same way, so a window opened again stands exactly where it was closed. A place read back is
// fitted onto a screen that is there now, with its title bar inside.
#include <QList>
#include <QMargins>
#include <QPoint>
#include <QRect>

class QWidget;

namespace quillo {

// `frame` moved wholly into the screen area it overlaps most (none: `fallback`); a frame larger
// than its area keeps its top-left corner, and so its title bar, inside.
QRect FitFrame(const QRect& frame, const QList<QRect>& areas, const QRect& fallback);
// The frame's top-left corner that centres a frame of `size` in `area` (fitted when larger).
QPoint CentredFrame(const QSize& size, const QRect& area);

// The window's frame as the window manager drew it; before that, its client with the margins
// last seen on any of the program's windows (a guess before the first).
QMargins FrameMargins(const QWidget& window);
QRect FrameRect(const QWidget& window);
// Puts a window not shown yet with its frame's top-left at `pos`, fitted onto a present screen.
void PlaceFrame(QWidget& window, const QPoint& pos);
// Centres a window not shown yet on the primary screen.
void CentreOnPrimaryScreen(QWidget& window);
// Once the window manager has framed a shown window, brings the frame wholly onto its screen.
void KeepOnScreenWhenFramed(QWidget& window);

} // namespace quillo
