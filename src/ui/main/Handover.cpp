// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/Handover.h"

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>

namespace quillo {

namespace {
// A path never holds a zero byte, so one ends the request; the answer is one byte.
constexpr char kEnd = '\0';
constexpr char kTaken = '\1';
constexpr int kIdleMs = 5000; // a peer that sends nothing is dropped
} // namespace

THandoverServer::THandoverServer(const std::string& socketPath, std::function<void(const std::string&)> onRequest)
    : mServer(std::make_unique<QLocalServer>()), mOnRequest(std::move(onRequest)) {
    const QString path = QString::fromStdString(socketPath);
    // We hold the lock, so a socket file left there belongs to a copy that died.
    QLocalServer::removeServer(path);
    mServer->setSocketOptions(QLocalServer::UserAccessOption);
    if (!mServer->listen(path)) return;
    QObject::connect(mServer.get(), &QLocalServer::newConnection, mServer.get(), [this] {
        while (QLocalSocket* socket = mServer->nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            QTimer::singleShot(kIdleMs, socket, [socket] { socket->abort(); });
            auto buffer = std::make_shared<QByteArray>();
            auto taken = std::make_shared<bool>(false);
            QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket, buffer, taken] {
                buffer->append(socket->readAll());
                const qsizetype end = buffer->indexOf(kEnd);
                if (end < 0 || *taken) return;
                *taken = true;
                const std::string schedule = buffer->left(end).toStdString();
                socket->write(&kTaken, 1);
                socket->flush();
                socket->disconnectFromServer();
                // Not from inside the socket's signal: the request may ask questions.
                QTimer::singleShot(0, mServer.get(), [this, schedule] { mOnRequest(schedule); });
            });
        }
    });
}

THandoverServer::~THandoverServer() = default;

bool THandoverServer::Listening() const {
    return mServer->isListening();
}

bool HandOver(const std::string& socketPath, const std::string& schedule, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    for (;;) {
        socket.connectToServer(QString::fromStdString(socketPath));
        if (socket.waitForConnected(static_cast<int>(deadline.remainingTime()))) break;
        // The running copy may not be listening yet.
        if (deadline.remainingTime() < 100) return false;
        QThread::msleep(100);
    }
    QByteArray request = QByteArray::fromStdString(schedule);
    request.append(kEnd);
    socket.write(request);
    if (!socket.waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) return false;
    while (socket.bytesAvailable() < 1)
        if (deadline.hasExpired() || !socket.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) return false;
    char answer = 0;
    return socket.read(&answer, 1) == 1 && answer == kTaken;
}

} // namespace quillo
