// SPDX-License-Identifier: GPL-3.0-or-later
// The main window in the notification area: into and out of the tray, the tray's menu and clicks,
// Esc while the window is active.
#include "controls/StatusPanel.h"
#include "controls/TrayIcon.h"
#include "controls/TreeList.h"
#include "dialogs/FormDaySchedule.h"
#include "main/FormMain.h"
#include "main/Images.h"

#include <QAction>
#include <QApplication>
#include <QMenu>

namespace quillo {

namespace {
const char* const kNoTrayText = "通知領域（タスクトレイ）が見つからないため、ウィンドウを最小化しました。";
} // namespace

void TFormMain::BuildTray() {
    TrayIcon1 = new TTrayIcon(this);
    TrayIcon1->setObjectName(QStringLiteral("TrayIcon1"));
    TrayIcon1->SetVisible(false);
    // Its picture is the program's (set on the application at start).
    TrayIcon1->SetTipHelp(QStringLiteral("Quillo"));
    TrayIcon1->SetCheckSingleDoubleClick(true);

    TrayMenu = new QMenu(this);
    TrayMenu->setObjectName(QStringLiteral("TrayMenu"));
    const auto& images = ToolbarImages();
    TrayNewToDo = new QAction(images[tiToDoNew], QStringLiteral("予定の新規作成"), TrayMenu);
    TrayNewToDo->setObjectName(QStringLiteral("TrayNewToDo"));
    TrayShowToday = new QAction(images[tiTodaySchedule], QStringLiteral("今日の予定を表示"), TrayMenu);
    TrayShowToday->setObjectName(QStringLiteral("TrayShowToday"));
    TrayShowToday->setToolTip(QStringLiteral("今日の予定"));
    TrayShowToday->setStatusTip(QStringLiteral("今日の予定を一覧表示します。"));
    TrayExit = new QAction(QStringLiteral("終了"), TrayMenu);
    TrayExit->setObjectName(QStringLiteral("TrayExit"));
    TrayMenu->addAction(ActionOutFromTaskTray);
    TrayMenu->addSeparator();
    TrayMenu->addActions({TrayNewToDo, TrayShowToday});
    TrayMenu->addSeparator();
    TrayMenu->addAction(TrayExit);
    connect(TrayNewToDo, &QAction::triggered, this, [this] { Run([this] { TrayNewToDoExecute(); }); });
    connect(TrayShowToday, &QAction::triggered, this, [this] { Run([this] { TrayShowTodayExecute(); }); });
    connect(TrayExit, &QAction::triggered, this, [this] { Run([this] { ActionFileExitExecute(); }); });
    connect(TrayMenu, &QMenu::aboutToShow, this, &TFormMain::UpdateTrayMenu);
    TrayIcon1->SetRButtonPopupMenu(TrayMenu);

    TrayIcon1->OnMouseClick = [this](TTrayIcon*, TTrayButton button) {
        if (button == tbLeft) TrayIconClick();
    };
    TrayIcon1->OnDblClick = [this](TTrayIcon*) { TrayIconClick(); };
}

bool TFormMain::InTaskTray() const {
    return TrayIcon1->Visible();
}

void TFormMain::UpdateTrayMenu() {
    TrayNewToDo->setEnabled(ScheduleOpen());
    TrayShowToday->setEnabled(TrayNewToDo->isEnabled() && !mDayWindow);
}

void TFormMain::ActionIntoTaskTrayExecute() {
    TrayIcon1->HideOnTaskBar = true;
    TrayIcon1->SetVisible(true);
    if (!TTrayIcon::TrayAvailable()) StatusPanel0->setText(QString::fromUtf8(kNoTrayText));
    if (isMinimized())
        TrayIcon1->OwnerMinimized();
    else if (isVisible())
        showMinimized();
    else
        setWindowState(windowState() | Qt::WindowMinimized);
}

void TFormMain::OutFromTaskTray() {
    if (mDayWindow) mDayWindow->close();
    TrayIcon1->HideOnTaskBar = false;
    TrayIcon1->SetVisible(false);
    // Its picture is the program's (set on the application at start).
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
}

void TFormMain::TrayIconClick() {
    Run([this] {
        OutFromTaskTray();
        raise();
        activateWindow();
        TreeList1->setFocus();
    });
}

void TFormMain::TrayNewToDoExecute() {
    if (!ScheduleOpen()) return;
    OutFromTaskTray();
    NewToDo(nullptr, kNewToDoName, mToday, true);
}

// The day window opens over a main window that stays in the tray.
void TFormMain::TrayShowTodayExecute() {
    if (!ScheduleOpen() || mDayWindow) return;
    ShowDaySchedule(mToday);
}

void TFormMain::ShowAtStart() {
    if (TrayIcon1->HidesOwner()) return;
    if (isMinimized())
        showMinimized();
    else
        show();
}

// Esc sends the window to the tray only while it is the active window and no name is being typed.
void TFormMain::SetEscapeToTray(bool on) {
    const QKeySequence key = on ? QKeySequence(Qt::Key_Escape) : QKeySequence();
    if (ActionIntoTaskTray->shortcut() != key) ActionIntoTaskTray->setShortcut(key);
}

} // namespace quillo
