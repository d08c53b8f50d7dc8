// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reminders on the desktop: the freedesktop notification service (org.freedesktop.Notifications)
// on the session bus, spoken to directly through QtDBus, with no helper program. Every call is
// asynchronous and has a time limit: the window never waits for the service, and a service that
// is missing, refuses or does not answer in time sends the notice to Fallback instead (the window
// shows it in the tray's balloon or the status bar). Nothing here shows an error box.
#include <QDBusConnection>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>
#include <vector>

class QDBusPendingCallWatcher;

namespace quillo {

struct TNotice;

class TDesktopNotifier : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kAppName = "Quillory Plan";
    static constexpr const char* kTodayAction = "today"; // its label: 今日の予定を表示
    static constexpr int kDefaultTimeoutMs = 5000;

    // The session bus; tests give a private one, or one that is not connected.
    explicit TDesktopNotifier(QObject* parent = nullptr);
    explicit TDesktopNotifier(const QDBusConnection& bus, QObject* parent = nullptr);

    // How long the service may take to answer before the notice goes to Fallback.
    void SetTimeout(int ms) { mTimeoutMs = ms; }
    // The icon's name in the icon theme (the desktop entry's Icon); the picture goes along when
    // the theme does not have that name (a program run from its build folder).
    void SetIcon(const QString& name, const QImage& image);

    // Returns at once. A notice that starts a day replaces the one this notifier showed before,
    // if the service still shows it; the others come in addition.
    void Show(const TNotice& notice);
    void Show(const QString& summary, const QString& body, bool critical, bool replace);

    // What the service answered to GetCapabilities; empty before it did.
    const QStringList& Capabilities() const { return mCaps ? *mCaps : mNoCaps; }

signals:
    void TodayRequested();  // the action 今日の予定を表示: open the day window on today
    void WindowRequested(); // the notification itself was clicked: bring the main window forward
    // No service took the notice: show it another way.
    void Fallback(const QString& summary, const QString& body, bool critical);
    void Delivered(uint id); // the service shows it under this id

private slots:
    // Named slots: QtDBus connects bus signals by signature.
    void OnActionInvoked(uint id, const QString& action);
    void OnNotificationClosed(uint id, uint reason);

private:
    struct TMessage {
        QString Summary, Body;
        bool Critical;
        bool Replace;
    };
    void AskCapabilities();
    void Send(const TMessage& message);
    void Fail(const TMessage& message);
    void ReplayEarly(uint id);
    void ServiceChanged();

    QDBusConnection mBus;
    int mTimeoutMs = kDefaultTimeoutMs;
    QString mIconName;
    QImage mImage;
    std::optional<QStringList> mCaps;
    const QStringList mNoCaps;
    bool mAsking = false;
    std::vector<TMessage> mWaiting; // until the capabilities are known
    QSet<uint> mShown;              // our notifications the service still shows
    int mInFlight = 0;              // Notify calls not answered yet
    // A service's signal can overtake the answer that tells us the id; kept until the answers are in.
    std::vector<std::pair<uint, QString>> mEarlyActions;
    QSet<uint> mEarlyClosed;
    uint mLast = 0; // the last of them
};

} // namespace quillo
