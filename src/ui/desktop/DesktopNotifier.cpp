// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/DesktopNotifier.h"

#include "model/Alerts.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QIcon>
#include <QTimer>
#include <QVariantMap>

namespace {

// The image-data hint: (iiibiiay), rows of RGBA bytes.
struct TImageData {
    int Width = 0, Height = 0, RowStride = 0;
    bool HasAlpha = true;
    int BitsPerSample = 8, Channels = 4;
    QByteArray Data;
};

QDBusArgument& operator<<(QDBusArgument& arg, const TImageData& image) {
    arg.beginStructure();
    arg << image.Width << image.Height << image.RowStride << image.HasAlpha << image.BitsPerSample << image.Channels
        << image.Data;
    arg.endStructure();
    return arg;
}

const QDBusArgument& operator>>(const QDBusArgument& arg, TImageData& image) {
    arg.beginStructure();
    arg >> image.Width >> image.Height >> image.RowStride >> image.HasAlpha >> image.BitsPerSample >> image.Channels >>
        image.Data;
    arg.endStructure();
    return arg;
}

} // namespace

Q_DECLARE_METATYPE(TImageData)

namespace quillo {

namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
const char* const kDesktopEntry = "io.github.quillo.quillo";
constexpr int kMaxImageSide = 64;

enum TUrgency : uchar { uLow = 0, uNormal = 1, uCritical = 2 };

// Servers that read markup in the body would take "<" and "&" in a name for tags.
QString EscapeMarkup(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c == u'&')
            out += QStringLiteral("&amp;");
        else if (c == u'<')
            out += QStringLiteral("&lt;");
        else if (c == u'>')
            out += QStringLiteral("&gt;");
        else
            out += c;
    }
    return out;
}
} // namespace

TDesktopNotifier::TDesktopNotifier(QObject* parent) : TDesktopNotifier(QDBusConnection::sessionBus(), parent) {}

TDesktopNotifier::TDesktopNotifier(const QDBusConnection& bus, QObject* parent)
    : QObject(parent), mBus(bus), mIconName(QStringLiteral("quillo")), mImage(QStringLiteral(":/icons/quillo-48.png")) {
    qDBusRegisterMetaType<TImageData>();
    if (!mBus.isConnected()) return;
    mBus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                 SLOT(OnActionInvoked(uint, QString)));
    mBus.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                 SLOT(OnNotificationClosed(uint, uint)));
    // Another server may take the name, with other capabilities and its own ids.
    auto* watcher = new QDBusServiceWatcher(kService, mBus, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, this, &TDesktopNotifier::ServiceChanged);
}

void TDesktopNotifier::SetIcon(const QString& name, const QImage& image) {
    mIconName = name;
    mImage = image;
}

void TDesktopNotifier::Show(const TNotice& notice) {
    Show(QString::fromStdString(notice.Summary), QString::fromStdString(notice.Body), notice.Critical,
         notice.StartsDay);
}

void TDesktopNotifier::Show(const QString& summary, const QString& body, bool critical, bool replace) {
    const TMessage message{summary, body, critical, replace};
    if (!mBus.isConnected()) {
        Fail(message);
        return;
    }
    if (mCaps) {
        Send(message);
        return;
    }
    mWaiting.push_back(message);
    AskCapabilities();
}

void TDesktopNotifier::AskCapabilities() {
    if (mAsking) return;
    mAsking = true;
    const QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, "GetCapabilities");
    auto* watcher = new QDBusPendingCallWatcher(mBus.asyncCall(call, mTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        mAsking = false;
        const QDBusPendingReply<QStringList> reply = *w;
        std::vector<TMessage> waiting;
        waiting.swap(mWaiting);
        if (reply.isError()) {
            for (const TMessage& m : waiting)
                Fail(m);
            return;
        }
        mCaps = reply.value();
        for (const TMessage& m : waiting)
            Send(m);
    });
}

void TDesktopNotifier::Send(const TMessage& message) {
    QStringList actions;
    if (mCaps->contains(QStringLiteral("actions")))
        actions << QStringLiteral("default") << QStringLiteral("表示") << QString::fromLatin1(kTodayAction)
                << QStringLiteral("今日の予定を表示");
    QVariantMap hints;
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue(uchar(message.Critical ? uCritical : uNormal)));
    hints.insert(QStringLiteral("desktop-entry"), QString::fromLatin1(kDesktopEntry));
    if (!mImage.isNull() && !QIcon::hasThemeIcon(mIconName)) {
        const bool large = mImage.width() > kMaxImageSide || mImage.height() > kMaxImageSide;
        const QImage rgba =
            (large ? mImage.scaled(kMaxImageSide, kMaxImageSide, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                   : mImage)
                .convertToFormat(QImage::Format_RGBA8888);
        TImageData data;
        data.Width = rgba.width();
        data.Height = rgba.height();
        data.RowStride = static_cast<int>(rgba.bytesPerLine());
        data.Data = QByteArray(reinterpret_cast<const char*>(rgba.constBits()), rgba.sizeInBytes());
        hints.insert(QStringLiteral("image-data"), QVariant::fromValue(data));
    }
    const QString body = mCaps->contains(QStringLiteral("body-markup")) ? EscapeMarkup(message.Body) : message.Body;
    const uint replaces = message.Replace && mShown.contains(mLast) ? mLast : 0;

    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, "Notify");
    call << QString::fromLatin1(kAppName) << replaces << mIconName << message.Summary << body << actions << hints
         << int(-1);
    ++mInFlight;
    auto* watcher = new QDBusPendingCallWatcher(mBus.asyncCall(call, mTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, message](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        --mInFlight;
        const QDBusPendingReply<uint> reply = *w;
        if (reply.isError()) {
            Fail(message);
        } else {
            const uint id = reply.value();
            mShown.insert(id);
            mLast = id;
            emit Delivered(id);
            ReplayEarly(id);
        }
        if (mInFlight == 0) {
            mEarlyActions.clear();
            mEarlyClosed.clear();
        }
    });
}

// Always after the caller's own work, as a service's answer would be.
void TDesktopNotifier::Fail(const TMessage& message) {
    QTimer::singleShot(0, this, [this, message] { emit Fallback(message.Summary, message.Body, message.Critical); });
}

void TDesktopNotifier::ServiceChanged() {
    mCaps.reset();
    mShown.clear();
    mLast = 0;
}

void TDesktopNotifier::OnActionInvoked(uint id, const QString& action) {
    // Every client hears every server's signal: only ours count.
    if (!mShown.contains(id)) {
        if (mInFlight > 0) mEarlyActions.emplace_back(id, action);
        return;
    }
    if (action == QLatin1String(kTodayAction))
        emit TodayRequested();
    else if (action == QLatin1String("default"))
        emit WindowRequested();
}

void TDesktopNotifier::ReplayEarly(uint id) {
    std::vector<std::pair<uint, QString>> actions;
    for (auto it = mEarlyActions.begin(); it != mEarlyActions.end();) {
        if (it->first == id) {
            actions.push_back(*it);
            it = mEarlyActions.erase(it);
        } else {
            ++it;
        }
    }
    for (const auto& [actionId, action] : actions)
        OnActionInvoked(actionId, action);
    if (mEarlyClosed.remove(id)) OnNotificationClosed(id, 0);
}

void TDesktopNotifier::OnNotificationClosed(uint id, uint /*reason*/) {
    if (!mShown.contains(id) && mInFlight > 0) mEarlyClosed.insert(id);
    mShown.remove(id);
    if (mLast == id) mLast = 0;
}

} // namespace quillo
