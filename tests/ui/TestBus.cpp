// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/TestBus.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QThread>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <vector>

namespace quillo::test {

int RunOnPrivateBus(int argc, char** argv) {
    if (!qEnvironmentVariableIsEmpty("QUILLO_TEST_PRIVATE_BUS")) return -1;
    setenv("QUILLO_TEST_PRIVATE_BUS", "1", 1);
    std::vector<char*> args{const_cast<char*>("dbus-run-session"),
                            const_cast<char*>("--config-file=" QUILLO_TEST_BUS_CONFIG), const_cast<char*>("--")};
    args.insert(args.end(), argv, argv + argc);
    args.push_back(nullptr);
    execvp(args[0], args.data());
    std::perror("dbus-run-session (Debian package dbus)");
    return 2;
}

bool WaitFor(const std::function<bool()>& done, int ms) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

namespace {
QString Control(const QString& method, const QVariantList& args = {}) {
    QDBusMessage call =
        QDBusMessage::createMethodCall("org.freedesktop.Notifications", "/io/github/quillo/TestNotifications",
                                       "io.github.quillo.TestNotifications", method);
    call.setArguments(args);
    // Asynchronously, so that the program's own answers keep arriving meanwhile.
    QDBusPendingCall pending = QDBusConnection::sessionBus().asyncCall(call, 5000);
    WaitFor([&] { return pending.isFinished(); });
    const QDBusMessage reply = pending.reply();
    return reply.arguments().isEmpty() ? QString() : reply.arguments().first().toString();
}
} // namespace

TNotifyServer::TNotifyServer(const QStringList& args) {
    mProcess.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    mProcess.start(QUILLO_NOTIFY_SERVER, args);
    mReady =
        mProcess.waitForStarted(5000) && mProcess.waitForReadyRead(10000) && mProcess.readLine().trimmed() == "ready";
}

void TNotifyServer::Stop() {
    if (mProcess.state() == QProcess::NotRunning) return;
    mProcess.kill();
    mProcess.waitForFinished(5000);
}

QJsonArray TNotifyServer::Calls() const {
    return QJsonDocument::fromJson(Control("Calls").toUtf8()).array();
}

void TNotifyServer::Click(uint id, const QString& action) const {
    Control("Click", {id, action});
}

void TNotifyServer::Close(uint id) const {
    Control("Close", {id});
}

} // namespace quillo::test
