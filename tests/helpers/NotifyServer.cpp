// SPDX-License-Identifier: GPL-3.0-or-later
// A notification service for tests: owns org.freedesktop.Notifications on the session bus,
// records every Notify call and can play the user's part (click an action, close a notification).
//
//   quillo_notify_server [--caps actions,body] [--hang notify|all] [--invoke ACTION] [--invoke-first ACTION]
//                        [--log FILE]
//       serves until killed or told to quit; prints "ready" once it owns the name. --hang never
//       answers Notify (or any call); --invoke clicks ACTION on every notification it shows, --invoke-first
//       before its answer leaves, as a quick click can overtake it on the bus; --log
//       appends each call as one JSON line.
//   quillo_notify_server --calls            prints the running server's calls as a JSON array
//   quillo_notify_server --wait-calls N [--timeout S]   until it has N calls (exit 0) or S seconds pass (1)
//   quillo_notify_server --click ID ACTION  as if the user clicked ACTION of notification ID
//   quillo_notify_server --close ID         as if the user dismissed it
//   quillo_notify_server --quit
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDeadlineTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <QThread>
#include <QTimer>
#include <cstdio>

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kControlPath = QStringLiteral("/io/github/quillo/TestNotifications");
const QString kControlInterface = QStringLiteral("io.github.quillo.TestNotifications");

struct TSettings {
    QStringList Caps{QStringLiteral("actions"), QStringLiteral("body")};
    QString Hang; // "", "notify" or "all"
    QString Invoke;
    bool InvokeFirst = false;
    QString Log;
};

QJsonValue HintValue(const QVariant& value) {
    if (value.canConvert<QDBusArgument>()) {
        // image-data: (iiibiiay); the size is what a test may want to know.
        const QDBusArgument arg = value.value<QDBusArgument>();
        int width = 0, height = 0, stride = 0, bits = 0, channels = 0;
        bool alpha = false;
        QByteArray data;
        arg.beginStructure();
        arg >> width >> height >> stride >> alpha >> bits >> channels >> data;
        arg.endStructure();
        return QJsonObject{{"width", width}, {"height", height},     {"rowstride", stride},      {"alpha", alpha},
                           {"bits", bits},   {"channels", channels}, {"bytes", int(data.size())}};
    }
    if (value.typeId() == QMetaType::UChar) return int(value.value<uchar>());
    return QJsonValue::fromVariant(value);
}

class TNotifications : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    explicit TNotifications(const TSettings& settings) : mSettings(settings) {}
    QJsonArray Calls;

public slots:
    QStringList GetCapabilities() {
        if (mSettings.Hang == "all") Hold();
        return mSettings.Caps;
    }
    QString GetServerInformation(QString& vendor, QString& version, QString& specVersion) {
        vendor = "quillo tests";
        version = "1";
        specVersion = "1.2";
        return "quillo_notify_server";
    }
    uint Notify(const QString& appName, uint replacesId, const QString& appIcon, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap& hints, int expireTimeout) {
        const uint id = replacesId != 0 ? replacesId : ++mLastId;
        QJsonObject hintsJson;
        for (auto it = hints.begin(); it != hints.end(); ++it)
            hintsJson.insert(it.key(), HintValue(it.value()));
        const QJsonObject call{{"id", int(id)},
                               {"app_name", appName},
                               {"replaces_id", int(replacesId)},
                               {"app_icon", appIcon},
                               {"summary", summary},
                               {"body", body},
                               {"actions", QJsonArray::fromStringList(actions)},
                               {"hints", hintsJson},
                               {"expire_timeout", expireTimeout},
                               {"sender", message().service()}};
        Calls.append(call);
        if (!mSettings.Log.isEmpty()) {
            QFile log(mSettings.Log);
            if (log.open(QIODevice::Append)) log.write(QJsonDocument(call).toJson(QJsonDocument::Compact) + "\n");
        }
        if (mSettings.Hang == "notify" || mSettings.Hang == "all") {
            Hold();
            return 0;
        }
        if (!mSettings.Invoke.isEmpty() && actions.contains(mSettings.Invoke)) {
            const QString action = mSettings.Invoke;
            if (mSettings.InvokeFirst) {
                Click(id, action);
                return id;
            }
            // After the answer, as a user's click would come.
            QTimer::singleShot(0, this, [this, id, action] { Click(id, action); });
        }
        return id;
    }
    void CloseNotification(uint id) { emit NotificationClosed(id, 3); }

public:
    void Click(uint id, const QString& action) {
        emit ActionInvoked(id, action);
        emit NotificationClosed(id, 2);
    }

signals:
    void ActionInvoked(uint id, const QString& actionKey);
    void NotificationClosed(uint id, uint reason);

private:
    // A server that has gone quiet: the call is taken and never answered.
    void Hold() {
        setDelayedReply(true);
        mHeld.append(message());
    }

    const TSettings& mSettings;
    uint mLastId = 0;
    QList<QDBusMessage> mHeld;
};

class TControl : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "io.github.quillo.TestNotifications")
public:
    explicit TControl(TNotifications& server) : mServer(server) {}

public slots:
    QString Calls() { return QString::fromUtf8(QJsonDocument(mServer.Calls).toJson(QJsonDocument::Compact)); }
    void Click(uint id, const QString& action) { mServer.Click(id, action); }
    void Close(uint id) { mServer.CloseNotification(id); }
    void Quit() { QTimer::singleShot(0, qApp, &QCoreApplication::quit); }

private:
    TNotifications& mServer;
};

int Fail(const QString& message) {
    std::fprintf(stderr, "quillo_notify_server: %s\n", qPrintable(message));
    return 2;
}

QDBusMessage Control(const QString& method, const QVariantList& args = {}) {
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kControlPath, kControlInterface, method);
    call.setArguments(args);
    return QDBusConnection::sessionBus().call(call, QDBus::Block, 5000);
}

int Client(const QStringList& args) {
    const QString command = args.value(0);
    if (command == "--calls" || command == "--wait-calls") {
        const int wanted = command == "--wait-calls" ? args.value(1).toInt() : 0;
        const int seconds = args.indexOf("--timeout") > 0 ? args.value(args.indexOf("--timeout") + 1).toInt() : 10;
        const QDeadlineTimer deadline(seconds * 1000);
        for (;;) {
            const QDBusMessage reply = Control("Calls");
            const QString calls = reply.arguments().value(0).toString();
            const int count = int(QJsonDocument::fromJson(calls.toUtf8()).array().size());
            if (reply.type() == QDBusMessage::ReplyMessage && count >= wanted) {
                if (command == "--calls") std::printf("%s\n", qPrintable(calls));
                return 0;
            }
            if (deadline.hasExpired())
                return reply.type() == QDBusMessage::ReplyMessage ? 1 : Fail(reply.errorMessage());
            QThread::msleep(50);
        }
    }
    QDBusMessage reply;
    if (command == "--click")
        reply = Control("Click", {args.value(1).toUInt(), args.value(2)});
    else if (command == "--close")
        reply = Control("Close", {args.value(1).toUInt()});
    else
        reply = Control("Quit");
    return reply.type() == QDBusMessage::ReplyMessage ? 0 : Fail(reply.errorMessage());
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (!QDBusConnection::sessionBus().isConnected()) return Fail("no session bus");
    for (const char* client : {"--calls", "--wait-calls", "--click", "--close", "--quit"})
        if (args.value(0) == QLatin1String(client)) return Client(args);

    TSettings settings;
    for (int i = 0; i + 1 < args.size(); i += 2) {
        if (args[i] == "--caps")
            settings.Caps = args[i + 1].split(',', Qt::SkipEmptyParts);
        else if (args[i] == "--hang")
            settings.Hang = args[i + 1];
        else if (args[i] == "--invoke" || args[i] == "--invoke-first") {
            settings.Invoke = args[i + 1];
            settings.InvokeFirst = args[i] == "--invoke-first";
        } else if (args[i] == "--log")
            settings.Log = args[i + 1];
        else
            return Fail("unknown option " + args[i]);
    }
    if (args.size() % 2) return Fail("option without a value: " + args.last());

    TNotifications server(settings);
    TControl control(server);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(kPath, &server, QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals) ||
        !bus.registerObject(kControlPath, &control, QDBusConnection::ExportAllSlots))
        return Fail("cannot register the objects");
    if (!bus.registerService(kService)) return Fail("the name is taken: " + bus.lastError().message());
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}

#include "NotifyServer.moc"
