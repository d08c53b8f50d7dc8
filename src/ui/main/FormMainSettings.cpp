// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up and shutdown of the main window: the order of start-up, the settings file, and the
// window's placement.
#include "base/Desktop.h"
#include "base/Exceptions.h"
#include "base/FileNames.h"
#include "controls/ExHeader.h"
#include "main/FormMain.h"
#include "shell/CommandLine.h"
#include "shell/StartupShortcut.h"

#include <QGuiApplication>
#include <QScreen>

namespace quillo {

void TFormMain::FormCreate(const std::vector<std::string>& args) {
    MigrateStartupShortcut();
    bool settingsRead = false;
    Run([&] {
        LoadSettings();
        settingsRead = true;
    });
    if (!settingsRead) return; // the error was shown; the window stays usable without a schedule
    SetChartDate(mChart.ChartDate());
    ChartChanged();

    const TCommandLine line = ParseCommandLine(args);
    if (line.File) {
        if (IsRegularFile(*line.File)) {
            bool opened = false;
            Run([&] {
                const std::string longPath = ExpandLongPath(*line.File);
                mFiles.OpenNamed(longPath.empty() ? *line.File : longPath);
                opened = true;
            });
            if (!opened) return;
        } else {
            mDocument.FileName.clear();
            mFiles.SetTitle("");
        }
    }
    if (line.TraySwitch) {
        setWindowState(windowState() | Qt::WindowMinimized);
        ActionIntoTaskTrayExecute();
    }
    if (!line.HasArguments) {
        const std::string last = RegManager1.IniFileName.empty() ? "" : RegManager1.ItemFiler("LastEdit").ReadString();
        bool opened = false;
        if (!last.empty() && IsRegularFile(last)) {
            try {
                mFiles.OpenNamed(last);
                opened = true;
            } catch (const EQuilloError&) {
                // Not reported: the new schedule below takes its place.
            }
        }
        if (!opened) Run([&] { mFiles.FileNew(); });
    }
    UpdateActions();
}

std::string TFormMain::HolidaysFile() const {
    return ChangeFileExt(RegManager1.IniFileName, ".hld");
}

void TFormMain::LoadSettings() {
    if (RegManager1.IniFileName.empty()) return; // tests and benchmarks run without settings
    mSettings.PropX = mSettings.PropY = -1;
    // Before a first start writes the holidays file: one may stand there without settings (copied
    // from another machine, or the settings deleted to reset them).
    std::string error;
    mHolidaysRead = mCalendar.LoadHolidaysFile(HolidaysFile(), error);
    if (!IsRegularFile(RegManager1.IniFileName)) SaveSettings(); // a first start writes a complete file
    if (IsRegularFile(RegManager1.IniFileName)) {
        LoadMainSettings(RegManager1, mToday, mCalendar, mChart, ExHeader1->Sections(), mSettings);
        ApplyPlacement();
    }
    if (!mHolidaysRead) {
        mDesktop.Sound(sndError);
        mDesktop.MessageBox(HolidaysFile() + "\r\n" + error, mtError, mbOK);
    }
}

void TFormMain::SaveSettings() {
    if (RegManager1.IniFileName.empty()) return;
    mSettings.Maximized = windowState() & Qt::WindowMaximized;
    if (!mSettings.Maximized) {
        const QRect g = geometry();
        mSettings.FormX = g.x();
        mSettings.FormY = g.y();
        mSettings.FormW = g.width();
        mSettings.FormH = g.height();
    }
    // A holidays file that could not be read is never replaced by what little was.
    SaveMainSettings(RegManager1, mToday, mCalendar, mChart, ExHeader1->Sections(), mSettings,
                     mHolidaysRead ? HolidaysFile() : std::string());
}

// Placed with the calls that read it back, so that a round trip is exact; a place no screen
// shows any more (a monitor removed, a hand-edited file) is brought onto the nearest screen.
void TFormMain::ApplyPlacement() {
    if (mSettings.FormW > 0 && mSettings.FormH > 0) {
        QRect r(mSettings.FormX, mSettings.FormY, mSettings.FormW, mSettings.FormH);
        QScreen* screen = QGuiApplication::screenAt(r.center());
        if (!screen) screen = QGuiApplication::primaryScreen();
        if (screen) {
            const QRect area = screen->availableGeometry();
            if (!area.intersects(r)) r.moveTopLeft(area.topLeft());
            r.setWidth(std::min(r.width(), std::max(area.width(), minimumWidth())));
            r.setHeight(std::min(r.height(), std::max(area.height(), minimumHeight())));
        }
        setGeometry(r);
    }
    if (mSettings.Maximized) setWindowState(windowState() | Qt::WindowMaximized);
}

void TFormMain::FormClose() {
    MigrateStartupShortcut();
    try {
        SaveSettings();
    } catch (const EQuilloError& e) {
        // Shown, and the program still ends.
        mDesktop.Sound(sndError);
        mDesktop.MessageBox(e.what(), mtError, mbOK);
    }
}

} // namespace quillo
