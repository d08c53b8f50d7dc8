// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the main window keeps between runs: the settings file (the calendar, the chart's first
// day, the header widths, the places of the windows) and the holidays file beside it, read at
// start and written at the end; the last schedule, written at each close request.
#include "main/MainContext.h"
#include "settings/RegManager.h"
#include "settings/Settings.h"

#include <string>

class QMainWindow;

namespace quillo {

class TWindowSettings {
public:
    // `settingsFile` may be empty (tests and benchmarks run without settings).
    TWindowSettings(const TMainContext& context, QMainWindow& window, const std::string& settingsFile);

    TMainSettings& Places() { return mSettings; }
    const TMainSettings& Places() const { return mSettings; }
    void LoadSettings(); // throws when a first start cannot write the file
    void SaveSettings();
    std::string LastEdit();                      // the schedule edited last, or nothing
    void StoreLastEdit(const std::string& path); // a failure is ignored: it must not keep the window open

private:
    void ApplyPlacement();
    std::string HolidaysFile() const;

    const TMainContext& mContext;
    QMainWindow& mWindow;
    TRegManager RegManager1;
    TMainSettings mSettings;
    bool mHolidaysRead = true;
};

} // namespace quillo
