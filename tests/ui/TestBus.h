// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Tests on a real session bus: a private bus for the test program, and the recording notification
// server (tests/helpers/NotifyServer.cpp) run for one test. A test program of the window can use
// them as they are: its main calls RunOnPrivateBus first.
#include <QJsonArray>
#include <QProcess>
#include <QStringList>
#include <functional>

namespace quillo::test {

// Re-runs the program inside dbus-run-session with a bus that has no services of its own, once;
// returns only inside it (or 2 when dbus-run-session cannot be run).
int RunOnPrivateBus(int argc, char** argv);

// Processes events until `done` holds; false after `ms` milliseconds.
bool WaitFor(const std::function<bool()>& done, int ms = 5000);

class TNotifyServer {
public:
    // Options as the server program takes them: --caps LIST, --hang notify|all, --invoke ACTION.
    explicit TNotifyServer(const QStringList& args = {});
    ~TNotifyServer() { Stop(); }
    TNotifyServer(const TNotifyServer&) = delete;
    TNotifyServer& operator=(const TNotifyServer&) = delete;

    bool Ready() const { return mReady; } // it owns org.freedesktop.Notifications
    void Stop();
    QJsonArray Calls() const; // every Notify call so far, as JSON objects
    void Click(uint id, const QString& action) const;
    void Close(uint id) const;

private:
    QProcess mProcess;
    bool mReady = false;
};

} // namespace quillo::test
