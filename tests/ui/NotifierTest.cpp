// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop notifier against a real bus: a private session bus of its own (the program wraps
// itself in dbus-run-session) and a recording notification server that a test starts, stops,
// silences or clicks on.
#include "base/Clock.h"
#include "core/TestTree.h"
#include "desktop/DesktopNotifier.h"
#include "desktop/Reminders.h"
#include "model/Alerts.h"
#include "model/Document.h"
#include "model/ScheduleFormat.h"
#include "ui/TestBus.h"

#include <QApplication>
#include <QDBusConnection>
#include <QIcon>
#include <QJsonArray>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <vector>

using namespace quillo;
using namespace quillo::test;

namespace {

TNotice Notice(const std::string& summary, const std::string& body, bool critical, bool startsDay) {
    TNotice n;
    n.Summary = summary;
    n.Body = body;
    n.Critical = critical;
    n.StartsDay = startsDay;
    return n;
}

} // namespace

TEST(Notifier, SendsTheNoticeAsTheServiceExpectsIt) {
    TNotifyServer server;
    ASSERT_TRUE(server.Ready());
    TDesktopNotifier notifier;
    QSignalSpy delivered(&notifier, &TDesktopNotifier::Delivered);
    QSignalSpy fallback(&notifier, &TDesktopNotifier::Fallback);
    notifier.Show(Notice("遅延 1件・注意 2件", "A&B <x>（遅延）\nc（1日残）", true, true));
    ASSERT_TRUE(WaitFor([&] { return delivered.size() == 1; }));

    const QJsonArray calls = server.Calls();
    ASSERT_EQ(calls.size(), 1);
    const QJsonObject call = calls[0].toObject();
    EXPECT_EQ(call["app_name"].toString(), "Quillory Plan");
    EXPECT_EQ(call["app_icon"].toString(), "quillo");
    EXPECT_EQ(call["summary"].toString(), "遅延 1件・注意 2件");
    EXPECT_EQ(call["body"].toString(), "A&B <x>（遅延）\nc（1日残）"); // no markup offered: as it is
    EXPECT_EQ(call["actions"].toArray(), QJsonArray({"default", "表示", "today", "今日の予定を表示"}));
    EXPECT_EQ(call["replaces_id"].toInt(), 0);
    EXPECT_EQ(call["expire_timeout"].toInt(), -1);
    const QJsonObject hints = call["hints"].toObject();
    EXPECT_EQ(hints["urgency"].toInt(), 2);
    EXPECT_EQ(hints["desktop-entry"].toString(), "io.github.quillo.quillo");
    if (QIcon::hasThemeIcon("quillo")) {
        EXPECT_FALSE(hints.contains("image-data"));
    } else { // the picture goes along: 48 pixels of RGBA
        const QJsonObject image = hints["image-data"].toObject();
        EXPECT_EQ(image["width"].toInt(), 48);
        EXPECT_EQ(image["rowstride"].toInt(), 48 * 4);
        EXPECT_EQ(image["bytes"].toInt(), 48 * 48 * 4);
        EXPECT_TRUE(image["alpha"].toBool());
    }
    EXPECT_EQ(delivered[0][0].toUInt(), uint(call["id"].toInt()));

    // Within the day a notice comes in addition; the next day's replaces the last one shown,
    // unless the user has closed it.
    notifier.Show(Notice("注意 1件", "d（1日残）", false, false));
    ASSERT_TRUE(WaitFor([&] { return delivered.size() == 2; }));
    notifier.Show(Notice("遅延 3件", "e（遅延）", true, true));
    ASSERT_TRUE(WaitFor([&] { return delivered.size() == 3; }));
    const uint second = delivered[1][0].toUInt();
    server.Close(delivered[2][0].toUInt());
    QTest::qWait(100);
    notifier.Show(Notice("遅延 1件", "f（遅延）", true, true));
    ASSERT_TRUE(WaitFor([&] { return delivered.size() == 4; }));
    const QJsonArray all = server.Calls();
    ASSERT_EQ(all.size(), 4);
    EXPECT_EQ(all[1].toObject()["replaces_id"].toInt(), 0);
    EXPECT_EQ(all[1].toObject()["hints"].toObject()["urgency"].toInt(), 1);
    EXPECT_EQ(all[2].toObject()["replaces_id"].toInt(), int(second));
    EXPECT_EQ(all[3].toObject()["replaces_id"].toInt(), 0);
    EXPECT_EQ(fallback.size(), 0);
}

TEST(Notifier, TheUsersClicksComeBackAsSignalsForOurNotificationsOnly) {
    TNotifyServer server;
    ASSERT_TRUE(server.Ready());
    TDesktopNotifier notifier;
    QSignalSpy today(&notifier, &TDesktopNotifier::TodayRequested);
    QSignalSpy window(&notifier, &TDesktopNotifier::WindowRequested);
    QSignalSpy delivered(&notifier, &TDesktopNotifier::Delivered);
    notifier.Show(Notice("注意 1件", "a（1日残）", false, true));
    notifier.Show(Notice("注意 1件", "b（1日残）", false, false));
    ASSERT_TRUE(WaitFor([&] { return delivered.size() == 2; }));
    const uint first = delivered[0][0].toUInt(), second = delivered[1][0].toUInt();
    server.Click(first, "today");
    ASSERT_TRUE(WaitFor([&] { return today.size() == 1; }));
    server.Click(second, "default");
    ASSERT_TRUE(WaitFor([&] { return window.size() == 1; }));
    // Another program's notification, and one of ours that the click closed.
    server.Click(999, "default");
    server.Click(999, "today");
    server.Click(first, "today");
    QTest::qWait(200);
    EXPECT_EQ(window.size(), 1);
    EXPECT_EQ(today.size(), 1);
}

// A click and the close it causes can reach us before the answer that names the notification.
TEST(Notifier, AClickThatOvertakesTheAnswerStillCounts) {
    TNotifyServer server({"--invoke-first", "today"});
    ASSERT_TRUE(server.Ready());
    TDesktopNotifier notifier;
    QSignalSpy today(&notifier, &TDesktopNotifier::TodayRequested);
    QSignalSpy delivered(&notifier, &TDesktopNotifier::Delivered);
    notifier.Show(Notice("注意 1件", "a（1日残）", false, true));
    ASSERT_TRUE(WaitFor([&] { return today.size() == 1; }));
    EXPECT_EQ(delivered.size(), 1);
    notifier.Show(Notice("注意 1件", "b（1日残）", false, true));
    ASSERT_TRUE(WaitFor([&] { return today.size() == 2; }));
    // The first one was closed by its click: the second does not replace it.
    EXPECT_EQ(server.Calls()[1].toObject()["replaces_id"].toInt(), 0);
}

TEST(Notifier, AServerWithoutActionsOrWithMarkupGetsWhatItCanShow) {
    TNotifyServer server({"--caps", "body,body-markup"});
    ASSERT_TRUE(server.Ready());
    TDesktopNotifier notifier;
    QSignalSpy delivered(&notifier, &TDesktopNotifier::Delivered);
    notifier.Show(Notice("遅延 1件", "R&D <draft>（遅延）", true, true));
    ASSERT_TRUE(WaitFor([&] { return delivered.size() == 1; }));
    const QJsonObject call = server.Calls()[0].toObject();
    EXPECT_TRUE(call["actions"].toArray().isEmpty());
    EXPECT_EQ(call["body"].toString(), "R&amp;D &lt;draft&gt;（遅延）");
    EXPECT_EQ(notifier.Capabilities(), QStringList({"body", "body-markup"}));
}

TEST(Notifier, WithoutAServiceTheNoticeGoesToTheFallbackAndALaterServiceIsUsed) {
    TDesktopNotifier notifier;
    QSignalSpy fallback(&notifier, &TDesktopNotifier::Fallback);
    QSignalSpy delivered(&notifier, &TDesktopNotifier::Delivered);
    notifier.Show(Notice("遅延 2件", "a（遅延）\nb（遅延）", true, true));
    EXPECT_EQ(fallback.size(), 0); // never from inside Show
    ASSERT_TRUE(WaitFor([&] { return fallback.size() == 1; }));
    EXPECT_EQ(fallback[0][0].toString(), "遅延 2件");
    EXPECT_EQ(fallback[0][1].toString(), "a（遅延）\nb（遅延）");
    EXPECT_TRUE(fallback[0][2].toBool());

    TNotifyServer server;
    ASSERT_TRUE(server.Ready());
    notifier.Show(Notice("注意 1件", "c（1日残）", false, false));
    ASSERT_TRUE(WaitFor([&] { return delivered.size() == 1; }));
    EXPECT_EQ(fallback.size(), 1);

    // Another server takes the name: its own capabilities are asked for.
    server.Stop();
    TNotifyServer plain({"--caps", "body"});
    ASSERT_TRUE(plain.Ready());
    QTest::qWait(100); // the owner change reaches the notifier
    notifier.Show(Notice("注意 1件", "d（1日残）", false, true));
    ASSERT_TRUE(WaitFor([&] { return delivered.size() == 2; }));
    const QJsonObject call = plain.Calls()[0].toObject();
    EXPECT_TRUE(call["actions"].toArray().isEmpty());
    EXPECT_EQ(call["replaces_id"].toInt(), 0); // the old server's id means nothing here
}

TEST(Notifier, AServiceThatNeverAnswersCostsTheTimeoutAndNeverTheEventLoop) {
    for (const char* hang : {"notify", "all"}) {
        TNotifyServer server({"--hang", hang});
        ASSERT_TRUE(server.Ready());
        TDesktopNotifier notifier;
        notifier.SetTimeout(400);
        QSignalSpy fallback(&notifier, &TDesktopNotifier::Fallback);
        std::vector<const char*> order;
        QObject::connect(&notifier, &TDesktopNotifier::Fallback, [&] { order.push_back("fallback"); });
        QElapsedTimer clock;
        clock.start();
        notifier.Show(Notice("遅延 1件", "a（遅延）", true, true));
        EXPECT_LT(clock.elapsed(), 300) << hang; // Show itself does not wait for the answer
        QTimer::singleShot(50, [&] { order.push_back("timer"); });
        ASSERT_TRUE(WaitFor([&] { return fallback.size() == 1; })) << hang;
        EXPECT_GE(clock.elapsed(), 350) << hang;
        EXPECT_EQ(order, (std::vector<const char*>{"timer", "fallback"})) << hang;
    }
}

TEST(Notifier, WithoutASessionBusEverythingGoesToTheFallback) {
    const QDBusConnection dead = QDBusConnection::connectToBus("unix:path=/nonexistent/quillo-bus", "dead");
    ASSERT_FALSE(dead.isConnected());
    TDesktopNotifier notifier(dead);
    QSignalSpy fallback(&notifier, &TDesktopNotifier::Fallback);
    notifier.Show(Notice("注意 1件", "a（1日残）", false, true));
    ASSERT_TRUE(WaitFor([&] { return fallback.size() == 1; }));
    QDBusConnection::disconnectFromBus("dead");
}

// The chain the window will use: the core's decision, a fake clock, the notifier, a real bus.
TEST(Reminders, OneNoticeAtStartUpTheNextDaysAfterMidnightNoneWhenTurnedOff) {
    TNotifyServer server({"--invoke", "today"}); // the user clicks 今日の予定を表示 on each
    ASSERT_TRUE(server.Ready());
    const TDate today = D(2024, 5, 3);
    TCalendar calendar;
    TChart chart(calendar);
    const TEvalContext ctx{today, &calendar, &chart};
    TDocument document;
    document.New("plan");
    ReadItemLines(document.Nodes(), document.Root(),
                  Tabs("{\nI|late|0|-|-|-|2024|5|1|0|\nI|due|0|-|-|-|2024|5|3|0|\nI|dueToo|0|2024|4|1|2024|5|3|0|\n"
                       "I|done|1|-|-|-|2024|5|1|0|\nI|monday|0|-|-|-|2024|5|6|0|\n}"),
                  nullptr);
    FinishScheduleLoad(document.Nodes(), ctx);
    TFixedClock clock(today + 0.3);
    TReminders reminders(document.Nodes(), calendar, clock, today);
    QSignalSpy delivered(&reminders.Notifier(), &TDesktopNotifier::Delivered);
    QSignalSpy dayWindow(&reminders.Notifier(), &TDesktopNotifier::TodayRequested);

    reminders.Opened(true);
    ASSERT_TRUE(WaitFor([&] { return delivered.size() == 1; }));
    reminders.Tick();
    reminders.Changed();
    QTest::qWait(200);
    QJsonArray calls = server.Calls();
    ASSERT_EQ(calls.size(), 1); // exactly one, naming all three
    EXPECT_EQ(calls[0].toObject()["summary"].toString(), "遅延 1件・注意 2件");
    EXPECT_EQ(calls[0].toObject()["body"].toString(), "late（遅延）\ndue（1日残）\ndueToo（1日残）");
    EXPECT_EQ(calls[0].toObject()["hints"].toObject()["urgency"].toInt(), 2);
    EXPECT_TRUE(WaitFor([&] { return dayWindow.size() == 1; })); // the click travels over the bus
    EXPECT_EQ(dayWindow.size(), 1);

    clock.Set(today + 1 + 0.0007); // a minute past midnight, Saturday
    reminders.Tick();
    ASSERT_TRUE(WaitFor([&] { return delivered.size() == 2; }));
    calls = server.Calls();
    EXPECT_EQ(calls[1].toObject()["summary"].toString(), "遅延 3件・注意 1件");
    EXPECT_EQ(calls[1].toObject()["body"].toString(), "late（遅延）\ndue（遅延）\ndueToo（遅延）\nmonday（1日残）");

    reminders.SetOptions({false, true, true});
    clock.Set(today + 3.5);
    reminders.Tick();
    QTest::qWait(200);
    EXPECT_EQ(server.Calls().size(), 2);
}

int main(int argc, char** argv) {
    // Each run gets a bus of its own, with no services but those a test starts.
    if (const int rc = RunOnPrivateBus(argc, argv); rc >= 0) return rc;
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
