// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's own pictures, drawn at 16x16 and at twice that for high-density screens.
#include <QColor>
#include <QIcon>
#include <vector>

namespace quillo {

// Tool bar pictures by what they show; the indexes are those the commands name.
enum TToolImage {
    tiNoImage = -1,
    tiFileNew = 0,
    tiFileOpen = 1,
    tiFileSave = 2,
    tiFolderNew = 3,
    tiToDoNew = 4,
    tiItemUp = 5,
    tiItemDown = 6,
    tiItemDelete = 7,
    tiItemProperty = 8,
    tiMarkUndone = 9,
    tiMarkDone = 10,
    tiBeginLater = 12,
    tiBeginEarlier = 13,
    tiEndLater = 14,
    tiEndEarlier = 15,
    tiPeriodLater = 18,
    tiPeriodEarlier = 19,
    tiIntoTray = 21,
    tiOutOfTray = 22,
    tiChartPrev = 23, // the chart's navigation: pictures of this program's own, in free slots
    tiChartPrev1 = 24,
    tiTodaySchedule = 29,
    tiPaste = 34,
    tiCopy = 35,
    tiChartView = 17,
    tiMemo = 20,
    tiLink = 25,
    tiListView = 26,
    tiChartNext1 = 27,
    tiChartNext = 28,
    tiAutoSave = 33,
    tiToolImageCount = 36
};

// Chart marks on today's cell.
enum TChartMark { cmNone = 0, cmInProgress = 1, cmCaution = 2, cmWarning = 3 };

// The program's own icon, for its windows and the tray.
QIcon ProgramIcon();

const std::vector<QIcon>& NodeImages();    // tree node images 0..16
const std::vector<QIcon>& ToolbarImages(); // tool bar images 0..33
const std::vector<QIcon>& ChartMarks();    // chart marks 1..3 (0 unused)

// The state colours shared by node images and chart blocks: fill and frame of day cell values 0..6.
QColor CellFill(int value);
QColor CellFrame(int value);

} // namespace quillo
