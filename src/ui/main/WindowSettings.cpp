// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/WindowSettings.h"

#include "base/Desktop.h"
#include "base/Exceptions.h"
#include "base/FileNames.h"
#include "controls/ExHeader.h"
#include "model/Calendar.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>

namespace quillo {

TWindowSettings::TWindowSettings(const TMainContext& context, QMainWindow& window, const std::string& settingsFile)
    : mContext(context), mWindow(window), RegManager1(&context.Desktop) {
    AddMainSettingsItems(RegManager1.RegItems);
    RegManager1.IniFileName = settingsFile;
}

std::string TWindowSettings::HolidaysFile() const {
    return ChangeFileExt(RegManager1.IniFileName, ".hld");
}

std::string TWindowSettings::LastEdit() {
    return RegManager1.IniFileName.empty() ? "" : RegManager1.ItemFiler("LastEdit").ReadString();
}

void TWindowSettings::StoreLastEdit(const std::string& path) {
    try {
        RegManager1.ItemFiler("LastEdit").WriteString(path);
    } catch (const EQuilloError&) {
        // Not storing the last file must not keep the program from closing.
    }
}

void TWindowSettings::LoadSettings() {
    if (RegManager1.IniFileName.empty()) return;
    mSettings.PropX = mSettings.PropY = -1;
    // Before a first start writes the holidays file: one may stand there without settings (copied
    // from another machine, or the settings deleted to reset them).
    std::string error;
    mHolidaysRead = mContext.Calendar.LoadHolidaysFile(HolidaysFile(), error);
    if (!IsRegularFile(RegManager1.IniFileName)) SaveSettings(); // a first start writes a complete file
    if (IsRegularFile(RegManager1.IniFileName)) {
        LoadMainSettings(RegManager1, mContext.Today, mContext.Calendar, mContext.Chart, mContext.Header.Sections(),
                         mSettings);
        ApplyPlacement();
    }
    if (!mHolidaysRead) {
        mContext.Desktop.Sound(sndError);
        mContext.Desktop.MessageBox(HolidaysFile() + "\r\n" + error, mtError, mbOK);
    }
}

void TWindowSettings::SaveSettings() {
    if (RegManager1.IniFileName.empty()) return;
    mSettings.Maximized = mWindow.windowState() & Qt::WindowMaximized;
    if (!mSettings.Maximized) {
        const QRect g = mWindow.geometry();
        mSettings.FormX = g.x();
        mSettings.FormY = g.y();
        mSettings.FormW = g.width();
        mSettings.FormH = g.height();
    }
    // A holidays file that could not be read is never replaced by what little was.
    SaveMainSettings(RegManager1, mContext.Today, mContext.Calendar, mContext.Chart, mContext.Header.Sections(),
                     mSettings, mHolidaysRead ? HolidaysFile() : std::string());
}

// Placed with the calls that read it back, so that a round trip is exact; a place no screen
// shows any more (a monitor removed, a hand-edited file) is brought onto the nearest screen.
void TWindowSettings::ApplyPlacement() {
    if (mSettings.FormW > 0 && mSettings.FormH > 0) {
        QRect r(mSettings.FormX, mSettings.FormY, mSettings.FormW, mSettings.FormH);
        QScreen* screen = QGuiApplication::screenAt(r.center());
        if (!screen) screen = QGuiApplication::primaryScreen();
        if (screen) {
            const QRect area = screen->availableGeometry();
            if (!area.intersects(r)) r.moveTopLeft(area.topLeft());
            r.setWidth(std::min(r.width(), std::max(area.width(), mWindow.minimumWidth())));
            r.setHeight(std::min(r.height(), std::max(area.height(), mWindow.minimumHeight())));
        }
        mWindow.setGeometry(r);
    }
    if (mSettings.Maximized) mWindow.setWindowState(mWindow.windowState() | Qt::WindowMaximized);
}

} // namespace quillo
