// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window in the notification area: into and out of the tray, the tray's menu and
// clicks, Esc while the window is active, and the window brought back by the taskbar.
#include "main/MainContext.h"

class QAction;
class QDialog;
class QMainWindow;
class QMenu;

namespace quillo {

class TTrayIcon;

class TMainTray {
public:
    struct THooks {
        std::function<void()> NewToDoToday;
        std::function<void()> ShowToday;     // the day window, over a window that stays in the tray
        std::function<QDialog*()> DayWindow; // the one open, if any
    };
    TMainTray(const TMainContext& context, QMainWindow& window, THooks hooks);
    ~TMainTray();

    TTrayIcon* TrayIcon() const { return TrayIcon1; }
    QMenu* TrayPopup() const { return TrayMenu; }
    bool InTaskTray() const;
    void ActionIntoTaskTrayExecute();
    void OutFromTaskTray();
    void ShowAtStart(); // the first showing: on screen, minimized, or only in the tray
    void SetEscapeToTray(bool on);
    void SetTipHelp(const QString& caption);
    void WindowStateChanged(); // the window may have come back by the taskbar
    void TrayIconClick();      // out of the tray, forward and active

private:
    void UpdateTrayMenu();

    const TMainContext& mContext;
    QMainWindow& mWindow;
    THooks mHooks;
    TTrayIcon* TrayIcon1;
    QMenu* TrayMenu;
    QAction* TrayNewToDo;
    QAction* TrayShowToday;
    QAction* TrayExit;
};

} // namespace quillo
