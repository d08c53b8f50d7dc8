#pragma once
#include "base/Date.h"

namespace quillo {

class TCalendar;

// What evaluating an item needs besides the item: the start-up day and the calendar. Passed
// explicitly so that the main window, the terminal program and each test keep their own.
struct TEvalContext {
    TDate Today = 0;
    const TCalendar* Calendar = nullptr;
};

} // namespace quillo
