// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/MainTray.h"

#include "controls/TrayIcon.h"
#include "controls/TreeList.h"
#include "main/Images.h"
#include "main/MainCommands.h"
#include "model/Document.h"

#include <QAction>
#include <QDialog>
#include <QMainWindow>
#include <QMenu>

namespace quillo {

namespace {
const char* const kNoTrayText = "通知領域（タスクトレイ）が見つからないため、ウィンドウを最小化しました。";
} // namespace

TMainTray::TMainTray(const TMainContext& context, QMainWindow& window, THooks hooks)
    : mContext(context), mWindow(window), mHooks(std::move(hooks)) {
    TrayIcon1 = new TTrayIcon(&window);
    TrayIcon1->setObjectName(QStringLiteral("TrayIcon1"));
    TrayIcon1->SetVisible(false);
    // Its picture is the program's (set on the application at start).
    TrayIcon1->SetTipHelp(QStringLiteral("Quillo"));
    TrayIcon1->SetCheckSingleDoubleClick(true);

    TMainCommands& commands = context.Commands;
    TrayMenu = new QMenu(&window);
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
    commands.Fill(TrayMenu, {"ActionOutFromTaskTray", "-"});
    TrayMenu->addActions({TrayNewToDo, TrayShowToday});
    TrayMenu->addSeparator();
    TrayMenu->addAction(TrayExit);
    QObject::connect(TrayNewToDo, &QAction::triggered, TrayMenu, [this] {
        mContext.Commands.Run([this] {
            if (!mContext.Document.IsOpen()) return;
            OutFromTaskTray();
            mHooks.NewToDoToday();
        });
    });
    QObject::connect(TrayShowToday, &QAction::triggered, TrayMenu, [this] {
        mContext.Commands.Run([this] {
            if (mContext.Document.IsOpen() && !mHooks.DayWindow()) mHooks.ShowToday();
        });
    });
    QObject::connect(TrayExit, &QAction::triggered, TrayMenu, [this] { mContext.Commands.Invoke("ActionFileExit"); });
    QObject::connect(TrayMenu, &QMenu::aboutToShow, TrayMenu, [this] { UpdateTrayMenu(); });
    TrayIcon1->SetRButtonPopupMenu(TrayMenu);
    TrayIcon1->OnMouseClick = [this](TTrayIcon*, TTrayButton button) {
        if (button == tbLeft) TrayIconClick();
    };
    TrayIcon1->OnDblClick = [this](TTrayIcon*) { TrayIconClick(); };

    commands.Bind("ActionIntoTaskTray", [this] { ActionIntoTaskTrayExecute(); });
    commands.Bind("ActionOutFromTaskTray", [this] { OutFromTaskTray(); });
}

TMainTray::~TMainTray() {
    delete TrayMenu;
    delete TrayIcon1;
}

bool TMainTray::InTaskTray() const {
    return TrayIcon1->Visible();
}

void TMainTray::SetTipHelp(const QString& caption) {
    TrayIcon1->SetTipHelp(caption);
}

void TMainTray::UpdateTrayMenu() {
    TrayNewToDo->setEnabled(mContext.Document.IsOpen());
    TrayShowToday->setEnabled(TrayNewToDo->isEnabled() && !mHooks.DayWindow());
}

void TMainTray::ActionIntoTaskTrayExecute() {
    TrayIcon1->HideOnTaskBar = true;
    TrayIcon1->SetVisible(true);
    if (!TTrayIcon::TrayAvailable()) mContext.Hint(QString::fromUtf8(kNoTrayText));
    if (mWindow.isMinimized())
        TrayIcon1->OwnerMinimized();
    else if (mWindow.isVisible())
        mWindow.showMinimized();
    else
        mWindow.setWindowState(mWindow.windowState() | Qt::WindowMinimized);
}

void TMainTray::OutFromTaskTray() {
    if (QDialog* day = mHooks.DayWindow()) day->close();
    TrayIcon1->HideOnTaskBar = false;
    TrayIcon1->SetVisible(false);
    mWindow.setWindowState(mWindow.windowState() & ~Qt::WindowMinimized);
    mWindow.show();
}

void TMainTray::TrayIconClick() {
    mContext.Commands.Run([this] {
        OutFromTaskTray();
        mWindow.raise();
        mWindow.activateWindow();
        mContext.Tree.setFocus();
    });
}

void TMainTray::ShowAtStart() {
    if (TrayIcon1->HidesOwner()) return;
    if (mWindow.isMinimized())
        mWindow.showMinimized();
    else
        mWindow.show();
}

// Esc sends the window to the tray only while it is the active window and no name is being typed.
void TMainTray::SetEscapeToTray(bool on) {
    QAction* into = mContext.Commands.Find("ActionIntoTaskTray");
    const QKeySequence key = on ? QKeySequence(Qt::Key_Escape) : QKeySequence();
    if (into->shortcut() != key) into->setShortcut(key);
}

// Brought back by the taskbar rather than the tray icon (a desktop without a tray host).
void TMainTray::WindowStateChanged() {
    if (InTaskTray() && !mWindow.isMinimized() && mWindow.isVisible()) {
        TrayIcon1->HideOnTaskBar = false;
        TrayIcon1->SetVisible(false);
    }
}

} // namespace quillo
