// SPDX-License-Identifier: GPL-3.0-or-later
// The reminders of the whole main window on a private session bus: the window made as the program
// makes it, a fixed clock, the recording notification server, and the user's clicks on a notice.
#include "base/Clock.h"
#include "base/SafeFile.h"
#include "controls/TreeList.h"
#include "core/TestTree.h"
#include "main/FormMain.h"
#include "model/Calendar.h"
#include "settings/IniFile.h"
#include "ui/TestBus.h"

#include <QAction>
#include <QApplication>
#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace quillo;
using namespace quillo::test;

namespace {
const TDate kToday = D(2024, 5, 3); // a Friday

// One late and two caution to-dos, one done, one due on Monday.
std::string Schedule(const std::string& items) {
    return "D\t2024\t5\t3\r\nA-\r\n{\r\n" + Tabs(items) + "}\r\n\r\n# Quillory Plan Schedule File (ver0.15)\r\n";
}
const std::string kItems = "I|late|0|-|-|-|2024|5|1|0|\r\nI|due|0|-|-|-|2024|5|3|0|\r\n"
                           "I|dueToo|0|2024|4|1|2024|5|3|0|\r\nI|done|1|-|-|-|2024|5|1|0|\r\n"
                           "I|monday|0|-|-|-|2024|5|6|0|\r\n";

struct TReminderWindow : ::testing::Test {
    TTempDir Dir;
    TScriptedDesktop Desktop;
    TFixedClock Clock{kToday + 0.3};
    std::unique_ptr<TFormMain> Form;

    std::string Plan(const std::string& name = "plan.qlp", const std::string& items = kItems) {
        WriteFile(Dir.File(name), Schedule(items));
        return Dir.File(name);
    }
    void Start(const std::vector<std::string>& args) {
        Form = std::make_unique<TFormMain>(Desktop, Clock, Dir.File("quillo.ini"));
        Form->FormCreate(args);
        Form->ShowAtStart();
    }
    TTreeNode* Node(const std::string& name) const {
        for (TTreeNode* n = Form->TreeList()->Items().GetFirstNode(); n; n = n->GetNext())
            if (n->Text() == name) return n;
        return nullptr;
    }
    // Settles the window and the bus, then what the server was sent.
    static QJsonArray Settled(const TNotifyServer& server) {
        QTest::qWait(300);
        return server.Calls();
    }
    static std::string Summary(const QJsonArray& calls, int i) {
        return calls[i].toObject()["summary"].toString().toStdString();
    }
    static std::string Body(const QJsonArray& calls, int i) {
        return calls[i].toObject()["body"].toString().toStdString();
    }
    std::string Ini(const char* key) const {
        return TIniFile(Dir.File("quillo.ini")).ReadString("Notifications", key, "-");
    }
};

// Closes the modal window that opens next, and keeps its title.
struct TModalCatcher {
    QString Title;
    QTimer Poll;
    TModalCatcher() {
        Poll.setInterval(20);
        QObject::connect(&Poll, &QTimer::timeout, [this] {
            if (QWidget* w = QApplication::activeModalWidget()) {
                Title = w->windowTitle();
                w->close();
                Poll.stop();
            }
        });
        Poll.start();
    }
};
} // namespace

TEST_F(TReminderWindow, StartUpTellsOnceAndTheNoticesActionsReachTheWindow) {
    TNotifyServer server;
    ASSERT_TRUE(server.Ready());
    Start({"-t", Plan()});
    ASSERT_TRUE(Form->InTaskTray());
    ASSERT_TRUE(WaitFor([&] { return server.Calls().size() >= 1; }));
    QJsonArray calls = Settled(server);
    ASSERT_EQ(calls.size(), 1); // idle updates and the minute timer add nothing
    EXPECT_EQ(Summary(calls, 0), "遅延 1件・注意 2件");
    EXPECT_EQ(Body(calls, 0), "late（遅延）\ndue（1日残）\ndueToo（1日残）");
    const uint id = uint(calls[0].toObject()["id"].toInt());

    {
        TModalCatcher day;
        server.Click(id, "today"); // 今日の予定を表示
        ASSERT_TRUE(WaitFor([&] { return !day.Title.isEmpty(); }));
        EXPECT_TRUE(day.Title.endsWith("2024/05/03(金)の予定")) << day.Title.toStdString();
    }
    EXPECT_TRUE(Form->InTaskTray()); // the day window came over the tray, as the tray's own entry does

    // The next morning's notice is clicked: the window comes out of the tray.
    Clock.Set(kToday + 1 + 0.3);
    Form->Timer2Timer();
    ASSERT_TRUE(WaitFor([&] { return server.Calls().size() == 2; }));
    calls = Settled(server); // the window has the answer before the user can click
    EXPECT_EQ(Summary(calls, 1), "遅延 3件・注意 1件");
    server.Click(uint(calls[1].toObject()["id"].toInt()), "default");
    ASSERT_TRUE(WaitFor([&] { return !Form->InTaskTray(); }));
    EXPECT_TRUE(Form->isVisible());
    EXPECT_FALSE(Form->isMinimized());
    ASSERT_EQ(Desktop.Shown.size(), 1u); // only the window's own word on the date change
    EXPECT_EQ(Desktop.Shown[0].Type, mtInformation);
}

// After the start-up: edits, undo and redo, the caution lead, a schedule the user opens and the
// next day, each told at most once.
TEST_F(TReminderWindow, EditsAndTheDateChangeTellWhatIsNewOnly) {
    TNotifyServer server;
    ASSERT_TRUE(server.Ready());
    Start({Plan()});
    ASSERT_TRUE(WaitFor([&] { return server.Calls().size() == 1; }));

    // A done mark taken off makes a late item; undone and redone, it is not told again today.
    Form->SelectNode(Node("done"));
    Form->Execute("ActionItemChkReverse");
    ASSERT_TRUE(WaitFor([&] { return server.Calls().size() == 2; }));
    EXPECT_EQ(Summary(server.Calls(), 1), "遅延 1件");
    EXPECT_EQ(Body(server.Calls(), 1), "done（遅延）");
    Form->Execute("ActionEditUndo");
    Form->Execute("ActionEditRedo");
    ASSERT_EQ(Settled(server).size(), 2);

    // A longer caution lead brings Monday's item into caution, as the holidays dialog would.
    Form->Shared().Calendar.AlertCount = 3;
    Form->UpdateActions();
    ASSERT_TRUE(WaitFor([&] { return server.Calls().size() == 3; }));
    EXPECT_EQ(Body(server.Calls(), 2), "monday（2日残）");

    // A schedule the user opens is what they are looking at: nothing is told of it.
    Desktop.Answers.push_back(mrNo); // the edits are not saved
    Desktop.SetNextFile(Plan("other.qlp", "I|overdue|0|-|-|-|2024|4|30|0|\r\n"));
    Form->Execute("ActionFileOpen");
    ASSERT_EQ(Form->windowTitle().toStdString(), "other");
    ASSERT_EQ(Settled(server).size(), 3);

    Clock.Set(kToday + 1 + 0.0007); // a minute past midnight
    Form->Timer2Timer();
    ASSERT_TRUE(WaitFor([&] { return server.Calls().size() == 4; }));
    EXPECT_EQ(Summary(server.Calls(), 3), "遅延 1件");
    EXPECT_EQ(Body(server.Calls(), 3), "overdue（遅延）");
    Form->Timer2Timer();
    EXPECT_EQ(Settled(server).size(), 4);
    ASSERT_EQ(Desktop.Shown.size(), 2u); // the question before the other schedule opened, the date change
    EXPECT_EQ(Desktop.Shown[1].Type, mtInformation);
}

TEST_F(TReminderWindow, TheMenusSwitchesSilenceTheNoticesAndAreKept) {
    TNotifyServer server;
    ASSERT_TRUE(server.Ready());
    WriteFile(Dir.File("quillo.ini"), "[Notifications]\r\nWarning=0\r\n");
    Start({Plan()});
    // Warning items left out: only the caution ones are told.
    ASSERT_TRUE(WaitFor([&] { return server.Calls().size() == 1; }));
    EXPECT_EQ(Summary(Settled(server), 0), "注意 2件");

    QMenu* notify = nullptr;
    for (QAction* menu : Form->menuBar()->actions())
        if (menu->text() == "設定(&S)")
            for (QAction* entry : menu->menu()->actions())
                if (entry->text() == "通知(&N)") notify = entry->menu();
    ASSERT_TRUE(notify);
    QAction* on = Form->FindAction("ActionNotifyOn");
    QAction* caution = Form->FindAction("ActionNotifyCaution");
    QAction* warning = Form->FindAction("ActionNotifyWarning");
    EXPECT_TRUE(notify->actions().contains(on) && notify->actions().contains(caution) &&
                notify->actions().contains(warning));
    EXPECT_EQ(on->text(), "通知を表示する(&N)");
    EXPECT_FALSE(on->statusTip().isEmpty());
    EXPECT_TRUE(on->isChecked() && caution->isChecked() && !warning->isChecked());

    on->trigger(); // off, as a click on the menu entry does it
    Form->UpdateActions();
    EXPECT_FALSE(on->isChecked());
    EXPECT_FALSE(caution->isEnabled());
    EXPECT_FALSE(warning->isEnabled());
    EXPECT_EQ(Ini("Enabled"), "0");

    Form->SelectNode(Node("done"));
    Form->Execute("ActionItemChkReverse");
    Clock.Set(kToday + 1.5);
    Form->Timer2Timer();
    EXPECT_EQ(Settled(server).size(), 1);

    // Kept in the settings file, and read back at the next start.
    Desktop.Answers.push_back(mrNo);
    Form->close();
    Form.reset();
    EXPECT_EQ(Ini("Enabled"), "0");
    EXPECT_EQ(Ini("Caution"), "1");
    EXPECT_EQ(Ini("Warning"), "0");
    Start({Plan()});
    EXPECT_FALSE(Form->FindAction("ActionNotifyOn")->isChecked());
    EXPECT_EQ(Settled(server).size(), 1);
    EXPECT_EQ(Desktop.Shown.size(), 2u); // the date change, the question at the close
}

TEST_F(TReminderWindow, WithoutANotificationServiceTheStatusBarTellsAndTheProgramEndsNormally) {
    bool closed = false;
    Start({Plan()});
    QObject::connect(Form.get(), &TFormMain::Closed, [&] { closed = true; });
    QLabel* hint = Form->StatusPanel(0);
    ASSERT_TRUE(WaitFor([&] { return hint->text().startsWith("遅延 1件・注意 2件"); }, 8000));
    EXPECT_EQ(hint->text().toStdString(), "遅延 1件・注意 2件：late（遅延）、due（1日残）、dueToo（1日残）");
    Form->SelectNode(Node("done"));
    Form->Execute("ActionItemChkReverse");
    ASSERT_TRUE(WaitFor([&] { return hint->text().startsWith("遅延 1件："); }, 8000));
    Desktop.Answers.push_back(mrNo);
    Form->close();
    EXPECT_TRUE(closed);
    ASSERT_EQ(Desktop.Shown.size(), 1u); // the question at the close, never an error box
    EXPECT_EQ(Desktop.Shown[0].Type, mtConfirmation);
}
