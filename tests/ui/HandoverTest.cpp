// SPDX-License-Identifier: GPL-3.0-or-later
// The second copy's request reaching the running one over the local socket.
#include "main/Handover.h"
#include "core/TestTree.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocalServer>
#include <future>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>

using namespace quillo;
using namespace quillo::test;

namespace {
// The second copy blocks, so it runs beside the event loop the running copy needs.
bool HandOverWhileServing(const std::string& socket, const std::string& schedule, int timeoutMs) {
    auto result = std::async(std::launch::async, [&] { return HandOver(socket, schedule, timeoutMs); });
    while (result.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
        QCoreApplication::processEvents();
    return result.get();
}

void ServeUntil(const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 3000)
        QCoreApplication::processEvents();
}
} // namespace

TEST(Handover, TheRunningCopyTakesEachRequestAndAHungOneIsGivenUp) {
    TTempDir dir;
    const std::string socket = dir.File("quillo.socket");
    EXPECT_FALSE(HandOver(socket, "", 300)); // nobody listening
    WriteFile(socket, "");                   // left behind by a copy that died

    std::vector<std::string> requests;
    {
        THandoverServer server(socket, [&](const std::string& schedule) { requests.push_back(schedule); });
        ASSERT_TRUE(server.Listening());
        struct stat st {};
        ASSERT_EQ(::stat(socket.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 077, 0u); // no other user may ask this copy to open files

        EXPECT_TRUE(HandOverWhileServing(socket, "/home/u/週間計画 2.qlp", 3000));
        EXPECT_TRUE(HandOverWhileServing(socket, "", 3000));
        ServeUntil([&] { return requests.size() == 2; });
        EXPECT_EQ(requests, (std::vector<std::string>{"/home/u/週間計画 2.qlp", ""}));
    }

    // A copy that accepts but never answers (hung in a dialog loop of another thread, say).
    QLocalServer hung;
    QLocalServer::removeServer(QString::fromStdString(socket));
    ASSERT_TRUE(hung.listen(QString::fromStdString(socket)));
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(HandOverWhileServing(socket, "/tmp/a.qlp", 600));
    EXPECT_GE(clock.elapsed(), 500);
    EXPECT_LT(clock.elapsed(), 2500);
}
