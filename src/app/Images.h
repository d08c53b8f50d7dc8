#pragma once
// The program's own pictures, drawn at 16x16 and at twice that for high-density screens.
#include <QColor>
#include <QIcon>
#include <vector>

namespace quillo {

const std::vector<QIcon>& NodeImages();    // tree node images 0..16
const std::vector<QIcon>& ToolbarImages(); // tool bar images 0..33
const std::vector<QIcon>& ChartMarks();    // chart marks 1..3 (0 unused)

// The state colours shared by node images and chart blocks: fill and frame of day cell values 0..6.
QColor CellFill(int value);
QColor CellFrame(int value);

} // namespace quillo
