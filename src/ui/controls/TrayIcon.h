// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's icon in the desktop's notification area. Qt reaches the tray host (XEmbed or
// StatusNotifierItem) and puts the icon back when a host (re)appears; this class keeps the
// program's side: when the icon is wanted, the click rules, the popup menus and the owner
// window's taskbar entry while it is in the tray.
#include "shell/TrayClick.h"

#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QSystemTrayIcon>
#include <QTimer>
#include <functional>

namespace quillo {

class TTrayIcon : public QObject {
    Q_OBJECT
public:
    // `owner` is the window whose minimizing and restoring the icon follows.
    explicit TTrayIcon(QWidget* owner);
    ~TTrayIcon() override;

    bool Visible() const { return mVisible; }
    void SetVisible(bool value);
    bool Minimized() const { return mMinimized; }
    void SetMinimized(bool value);
    bool HideOnTaskBar = false;
    const QString& TipHelp() const { return mTip; }
    void SetTipHelp(const QString& tip); // cut to what the tray record holds
    const QIcon& Icon() const { return mIcon; }
    void SetIcon(const QIcon& icon);
    const QStringList& ResourceIconList() const { return mIconList; }
    void SetResourceIconList(const QStringList& names);
    int ResourceIconID();
    void SetResourceIconID(int value);
    unsigned Interval() const { return mInterval; }
    void SetInterval(unsigned ms);
    bool CheckSingleDoubleClick() const { return mTracker.CheckSingleDoubleClick; }
    void SetCheckSingleDoubleClick(bool value) { mTracker.CheckSingleDoubleClick = value; }
    bool AutoPopup = true;
    QPointer<QMenu> LButtonPopupMenu;
    void SetRButtonPopupMenu(QMenu* menu);
    QMenu* RButtonPopupMenu() const { return mRMenu; }
    // Kept for the tray record's sake; the program's own balloons go through ShowBalloon.
    QString BalloonHelpTitle, BalloonHelpText;
    int BalloonHelpTimeOut = 0;
    int BalloonHelpIcon = 0;

    std::function<void(TTrayIcon*, TTrayButton)> OnMouseDown, OnMouseUp, OnMouseClick;
    std::function<void(TTrayIcon*)> OnDblClick, OnIconAnimation;

    // The icon is in the tray now (a tray host may still be missing: see TrayAvailable).
    bool IsAdded() const { return mAdded; }
    // The owner window is hidden because it sits in the tray.
    bool HidesOwner() const { return mHidOwner; }
    static bool TrayAvailable();
    // A message beside the icon, where a tray host shows the icon and can show messages (the
    // reminders' way when no notification service runs); false when it cannot be shown.
    bool ShowBalloon(const QString& title, const QString& text, bool critical);
    // What the tray reports, as Qt names it; public so that tests can play a user's clicks.
    void Activated(QSystemTrayIcon::ActivationReason reason);
    // The owner window was minimized (called by itself on a change of the window's state; the
    // owner calls it when it was minimized already).
    void OwnerMinimized();
    // One step of the icon animation.
    void AnimationStep();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool ShouldShow() const;
    QIcon IconUsed() const;
    void Show();
    void Update();
    void Remove();
    void UpdateAnimation();
    void OwnerRestored();
    void WatchTrayHost();

    QWidget* mOwner;
    QSystemTrayIcon* Tray();
    QSystemTrayIcon* mTray = nullptr;
    QPointer<QMenu> mRMenu;
    TTrayClickTracker mTracker;
    QTimer mClickTimer, mAnimation, mHostWatch;
    QIcon mIcon;
    QStringList mIconList;
    QString mTip = QStringLiteral("TipHelp");
    int mIconID = -1;
    unsigned mInterval = 0;
    bool mVisible = true;
    bool mMinimized = false;
    bool mAdded = false;
    bool mHidOwner = false; // the owner's taskbar entry is hidden by this icon
};

} // namespace quillo
