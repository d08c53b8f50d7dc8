// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "base/Date.h"

namespace quillo {

class TCalendar;
class TChart;

// What evaluating an item needs besides the item: the start-up day, the calendar, and for the
// day cells the chart. Passed explicitly so that the main window, the terminal program and each
// test keep their own.
struct TEvalContext {
    TDate Today = 0;
    const TCalendar* Calendar = nullptr;
    const TChart* Chart = nullptr; // needed by the refresh, which fills the day cells
};

} // namespace quillo
