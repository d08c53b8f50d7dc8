// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A schedule's date as Qt's date widgets hold it.
#include "base/Date.h"

#include <QDate>

namespace quillo {

inline QDate ToQDate(TDate d) {
    int y, m, day;
    DecodeDate(d, y, m, day);
    return QDate(y, m, day);
}

} // namespace quillo
