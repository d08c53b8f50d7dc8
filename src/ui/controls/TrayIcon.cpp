// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/TrayIcon.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QMenu>
#include <QWindowStateChangeEvent>

namespace quillo {

namespace {
// How often a window hidden in the tray checks that a tray host still shows its icon.
constexpr int kHostWatchMs = 2000;
} // namespace

TTrayIcon::TTrayIcon(QWidget* owner) : QObject(owner), mOwner(owner) {
    mClickTimer.setSingleShot(true);
    connect(&mClickTimer, &QTimer::timeout, this, [this] { mTracker.TimerFired(); });
    connect(&mAnimation, &QTimer::timeout, this, &TTrayIcon::AnimationStep);
    connect(&mHostWatch, &QTimer::timeout, this, &TTrayIcon::WatchTrayHost);
    mTracker.StartTimer = [this] { mClickTimer.start(QApplication::doubleClickInterval()); };
    mTracker.OnClick = [this](TTrayButton b) {
        if (OnMouseClick) OnMouseClick(this, b);
    };
    // The second press of a double click is reported after the double click itself.
    mTracker.OnSecondDown = [this](TTrayButton b) {
        QTimer::singleShot(0, this, [this, b] {
            if (OnMouseDown) OnMouseDown(this, b);
        });
    };
    if (mOwner) mOwner->installEventFilter(this);
}

// Made when first shown: a window that never goes to the tray pays nothing for it.
QSystemTrayIcon* TTrayIcon::Tray() {
    if (!mTray) {
        mTray = new QSystemTrayIcon(this);
        connect(mTray, &QSystemTrayIcon::activated, this, &TTrayIcon::Activated);
        mTray->setToolTip(mTip);
        mTray->setContextMenu(AutoPopup ? mRMenu.data() : nullptr);
    }
    return mTray;
}

TTrayIcon::~TTrayIcon() {
    Remove();
}

bool TTrayIcon::TrayAvailable() {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool TTrayIcon::ShowBalloon(const QString& title, const QString& text, bool critical) {
    if (!mAdded || !mTray || !TrayAvailable() || !QSystemTrayIcon::supportsMessages()) return false;
    mTray->showMessage(title, text, critical ? QSystemTrayIcon::Warning : QSystemTrayIcon::Information);
    return true;
}

void TTrayIcon::SetVisible(bool value) {
    if (value == mVisible) return;
    mVisible = value;
    if (ShouldShow())
        Show();
    else
        Remove();
}

void TTrayIcon::SetMinimized(bool value) {
    if (value == mMinimized) return;
    mMinimized = value;
    if (ShouldShow())
        Update();
    else
        Remove();
}

void TTrayIcon::SetTipHelp(const QString& tip) {
    mTip = QString::fromStdString(CutTipText(tip.toStdString()));
    if (mTray) mTray->setToolTip(mTip);
    Update();
}

void TTrayIcon::SetIcon(const QIcon& icon) {
    mIcon = icon;
    Update();
}

void TTrayIcon::SetResourceIconList(const QStringList& names) {
    const bool wasEmpty = mIconList.isEmpty();
    const QString before = mIconID >= 0 && mIconID < mIconList.size() ? mIconList[mIconID] : QString();
    mIconList = names;
    if (wasEmpty) {
        Update();
    } else if (mIconID >= 0) {
        if (mIconID >= mIconList.size()) mIconID = int(mIconList.size()) - 1;
        const QString now = mIconID >= 0 ? mIconList[mIconID] : QString();
        if (now != before) Update();
    }
}

int TTrayIcon::ResourceIconID() {
    if (mIconID >= mIconList.size()) mIconID = 0;
    return mIconID;
}

void TTrayIcon::SetResourceIconID(int value) {
    if (value == mIconID && value != 0) return;
    mIcon = QIcon();
    const int count = int(mIconList.size());
    mIconID = value >= count ? count - 1 : value < 0 ? -1 : value;
    if (ShouldShow()) Update();
}

void TTrayIcon::SetInterval(unsigned ms) {
    const unsigned value = ms > 0 && ms < 50 ? 50 : ms;
    if (value == mInterval) return;
    mInterval = value;
    UpdateAnimation();
}

void TTrayIcon::SetRButtonPopupMenu(QMenu* menu) {
    mRMenu = menu;
    if (mTray) mTray->setContextMenu(AutoPopup ? menu : nullptr);
}

bool TTrayIcon::ShouldShow() const {
    return mVisible && (!mMinimized || (mOwner && mOwner->isMinimized()) || mHidOwner);
}

QIcon TTrayIcon::IconUsed() const {
    if (!mIcon.isNull()) return mIcon;
    if (mIconID >= 0 && mIconID < mIconList.size()) {
        const QString& name = mIconList[mIconID];
        return QIcon::fromTheme(name, QIcon(QStringLiteral(":/") + name));
    }
    return QApplication::windowIcon();
}

// Without any picture there is nothing to put in the tray; the icon counts as not added.
void TTrayIcon::Show() {
    const QIcon icon = IconUsed();
    if (icon.isNull()) {
        mAdded = false;
        return;
    }
    Tray()->setIcon(icon);
    mTray->show();
    mAdded = true;
    UpdateAnimation();
}

void TTrayIcon::Update() {
    if (!mAdded) {
        if (ShouldShow()) Show();
        return;
    }
    const QIcon icon = IconUsed();
    if (icon.isNull()) return;
    Tray()->setIcon(icon);
}

void TTrayIcon::Remove() {
    mAnimation.stop();
    if (mTray) mTray->hide();
    mAdded = false;
}

void TTrayIcon::UpdateAnimation() {
    if (mVisible && mAdded && mInterval > 0)
        mAnimation.start(int(mInterval));
    else
        mAnimation.stop();
}

void TTrayIcon::AnimationStep() {
    if (OnIconAnimation) {
        OnIconAnimation(this);
        Update();
    } else if (!mIconList.isEmpty()) {
        const int next = ResourceIconID() + 1;
        SetResourceIconID(next >= mIconList.size() ? 0 : next);
    }
}

void TTrayIcon::Activated(QSystemTrayIcon::ActivationReason reason) {
    auto press = [this](TTrayButton b, QMenu* menu) {
        mTracker.ButtonDown(b);
        if (menu && AutoPopup) {
            // Qt opens the right button's menu by itself.
            if (b == tbLeft) menu->popup(QCursor::pos());
        } else if (OnMouseDown) {
            OnMouseDown(this, b);
        }
        mTracker.ButtonUp(b);
        if (OnMouseUp) OnMouseUp(this, b);
    };
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        press(tbLeft, LButtonPopupMenu);
        break;
    case QSystemTrayIcon::Context:
        press(tbRight, mRMenu);
        break;
    case QSystemTrayIcon::MiddleClick:
        press(tbMiddle, nullptr);
        break;
    case QSystemTrayIcon::DoubleClick:
        mTracker.DoubleClick(tbLeft);
        if (OnDblClick) OnDblClick(this);
        break;
    case QSystemTrayIcon::Unknown:
        break;
    }
}

bool TTrayIcon::eventFilter(QObject* watched, QEvent* event) {
    if (watched == mOwner && event->type() == QEvent::WindowStateChange) {
        const bool was = static_cast<QWindowStateChangeEvent*>(event)->oldState() & Qt::WindowMinimized;
        const bool now = mOwner->isMinimized();
        if (now && !was) OwnerMinimized();
        if (was && !now) OwnerRestored();
    }
    return QObject::eventFilter(watched, event);
}

void TTrayIcon::OwnerMinimized() {
    if (mVisible && mMinimized) Show();
    // Hidden only where a tray host shows the icon: otherwise the window would be lost.
    if (mVisible && HideOnTaskBar && mAdded && TrayAvailable()) {
        mHidOwner = true;
        QTimer::singleShot(0, mOwner, [this] {
            if (mHidOwner) mOwner->hide();
        });
        mHostWatch.start(kHostWatchMs);
    }
}

void TTrayIcon::OwnerRestored() {
    mHidOwner = false;
    mHostWatch.stop();
    if (mMinimized) Remove();
}

// The tray host went away (its panel crashed or was removed) while the window hid in it: give
// the window its taskbar entry back.
void TTrayIcon::WatchTrayHost() {
    if (!mHidOwner) {
        mHostWatch.stop();
        return;
    }
    if (TrayAvailable()) return;
    mHidOwner = false;
    mHostWatch.stop();
    mOwner->showMinimized();
}

} // namespace quillo
