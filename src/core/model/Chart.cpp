// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/Chart.h"

#include "model/Calendar.h"

namespace quillo {

const std::array<int8_t, kChartDays>& TChart::ChartDayLevels() const {
    if (!mBuilt || mBuiltRevision != mCalendar.Revision() || mBuiltDate != mChartDate) {
        for (int i = 0; i < kChartDays; ++i)
            mLevels[static_cast<size_t>(i)] = static_cast<int8_t>(mCalendar.LevelOfDate(mChartDate + i));
        mBuilt = true;
        mBuiltRevision = mCalendar.Revision();
        mBuiltDate = mChartDate;
    }
    return mLevels;
}

} // namespace quillo
