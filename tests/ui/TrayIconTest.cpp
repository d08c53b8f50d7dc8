// SPDX-License-Identifier: GPL-3.0-or-later
// The tray icon component and the main window's way into and out of the tray, offscreen (where
// no tray host exists, so "into the tray" must only minimize).
#include "controls/TrayIcon.h"
#include "base/Clock.h"
#include "controls/StatusPanel.h"
#include "controls/TreeList.h"
#include "core/TestTree.h"
#include "dialogs/FormDaySchedule.h"
#include "dialogs/FormProperty.h"
#include "main/FormMain.h"
#include "main/MainTray.h"
#include "model/SchItem.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace quillo;
using namespace quillo::test;

TEST(TrayIcon, PropertiesKeepTheirRules) {
    QWidget owner;
    TTrayIcon tray(&owner);
    tray.SetInterval(10);
    EXPECT_EQ(tray.Interval(), 50u);
    tray.SetInterval(0);
    EXPECT_EQ(tray.Interval(), 0u);
    tray.SetResourceIconList({"a", "b", "c"});
    tray.SetResourceIconID(5);
    EXPECT_EQ(tray.ResourceIconID(), 2);
    tray.SetResourceIconID(-7);
    EXPECT_EQ(tray.ResourceIconID(), -1);
    tray.SetResourceIconList({});
    tray.SetResourceIconID(0);
    EXPECT_EQ(tray.ResourceIconID(), -1);
    tray.SetTipHelp(QString(300, QChar('x')));
    EXPECT_EQ(tray.TipHelp().size(), 127);
}

TEST(TrayIcon, ShownOnlyWhenWantedAndWithAPicture) {
    QWidget owner;
    owner.show();
    TTrayIcon tray(&owner);
    tray.SetVisible(false);
    tray.SetIcon(QIcon());
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::red);
    const QIcon saved = QApplication::windowIcon();
    QApplication::setWindowIcon(QIcon());
    tray.SetVisible(true);
    EXPECT_FALSE(tray.IsAdded()); // nothing to show
    tray.SetVisible(false);
    QApplication::setWindowIcon(saved);

    tray.SetIcon(QIcon(pixmap));
    tray.SetMinimized(true);
    tray.SetVisible(true);
    EXPECT_FALSE(tray.IsAdded()); // only while the owner is minimized
    owner.showMinimized();
    EXPECT_TRUE(tray.IsAdded());
    owner.showNormal();
    EXPECT_FALSE(tray.IsAdded()); // restored: the icon goes
    tray.SetMinimized(false);
    EXPECT_TRUE(tray.IsAdded());
    // Added, but no tray host shows it: a reminder must go to the status bar instead.
    EXPECT_EQ(tray.ShowBalloon("遅延 1件", "a（遅延）", true), TTrayIcon::TrayAvailable());
    tray.SetInterval(60);
    tray.SetResourceIconList({"x", "y"});
    tray.SetResourceIconID(1);
    tray.AnimationStep();
    EXPECT_EQ(tray.ResourceIconID(), 0); // wraps after the last name
}

TEST(TrayIcon, ADoubleClickIsOneDoubleClickAndNoSingleClick) {
    QWidget owner;
    TTrayIcon tray(&owner);
    std::vector<std::string> events;
    tray.OnMouseDown = [&](TTrayIcon*, TTrayButton b) { events.push_back("down" + std::to_string(b)); };
    tray.OnMouseClick = [&](TTrayIcon*, TTrayButton b) { events.push_back("click" + std::to_string(b)); };
    tray.OnDblClick = [&](TTrayIcon*) { events.push_back("dbl"); };
    tray.Activated(QSystemTrayIcon::Trigger);
    tray.Activated(QSystemTrayIcon::DoubleClick);
    QTest::qWait(QApplication::doubleClickInterval() + 150);
    EXPECT_EQ(events, (std::vector<std::string>{"down0", "dbl", "down0"}));

    events.clear();
    tray.Activated(QSystemTrayIcon::Trigger);
    EXPECT_EQ(events, std::vector<std::string>{"down0"}); // not yet: it may become a double click
    QTest::qWait(QApplication::doubleClickInterval() + 150);
    EXPECT_EQ(events, (std::vector<std::string>{"down0", "click0"}));

    events.clear();
    tray.SetCheckSingleDoubleClick(false);
    tray.Activated(QSystemTrayIcon::MiddleClick);
    EXPECT_EQ(events, (std::vector<std::string>{"down2", "click2"}));
}

namespace {
const TDate kToday = D(2024, 5, 3);

struct TTray : ::testing::Test {
    TTempDir Dir;
    TScriptedDesktop Desktop;
    TFixedClock Clock{kToday + 0.5};
    std::unique_ptr<TFormMain> Form;
    TTray() {
        Form = std::make_unique<TFormMain>(Desktop, Clock, "");
        Form->resize(700, 400);
        Form->show();
        QApplication::setActiveWindow(Form.get());
        WriteFile(Dir.File("plan.qlp"), Tabs("D|2024|5|3\n{\nF|Work||+\n{\nI|today|0|2024|5|3|2024|5|3|0|\n}\n}\n"));
        Desktop.SetNextFile(Dir.File("plan.qlp"));
        Form->Execute("ActionFileOpen");
    }
    QAction* Tray(const char* name) { return Form->Tray().TrayPopup()->findChild<QAction*>(name); }
    void OpenTrayMenu() { emit Form->Tray().TrayPopup()->aboutToShow(); }
};
} // namespace

TEST_F(TTray, WithoutATrayHostTheWindowIsOnlyMinimizedAndComesBackByTheTaskbar) {
    ASSERT_FALSE(TTrayIcon::TrayAvailable());
    EXPECT_EQ(Form->FindAction("ActionIntoTaskTray")->shortcut(), QKeySequence(Qt::Key_Escape));
    Form->FindAction("ActionIntoTaskTray")->trigger();
    EXPECT_TRUE(Form->InTaskTray());
    EXPECT_TRUE(Form->isMinimized());
    EXPECT_TRUE(Form->isVisible()); // the taskbar entry stays: the window is never lost
    EXPECT_FALSE(Form->Tray().TrayIcon()->HidesOwner());
    EXPECT_NE(Form->StatusPanel(0)->text().indexOf(QStringLiteral("最小化")), -1);
    Form->showNormal(); // what the taskbar does
    EXPECT_FALSE(Form->InTaskTray());
}

TEST_F(TTray, AClickOnTheIconOrTheDayWindowBringsTheWindowBack) {
    Form->FindAction("ActionIntoTaskTray")->trigger();
    Form->Tray().TrayIcon()->Activated(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(Form->InTaskTray()); // a single click waits for a possible second one
    QTest::qWait(QApplication::doubleClickInterval() + 150);
    EXPECT_FALSE(Form->InTaskTray());
    EXPECT_FALSE(Form->isMinimized());
    EXPECT_FALSE(Form->Tray().TrayIcon()->Visible());

    // The menu's day view keeps the window in the tray; the day window's own command leaves it.
    Form->FindAction("ActionIntoTaskTray")->trigger();
    Form->hide();
    bool disabledWhileOpen = false, outEnabled = false;
    QTimer::singleShot(0, [&] {
        auto* day = qobject_cast<TFormDaySchedule*>(QApplication::activeModalWidget());
        OpenTrayMenu();
        disabledWhileOpen = !Tray("TrayShowToday")->isEnabled();
        outEnabled = day->FindAction("ActionOutFromTaskTray")->isEnabled();
        day->FindAction("ActionFormClose")->trigger();
    });
    OpenTrayMenu();
    ASSERT_TRUE(Tray("TrayShowToday")->isEnabled());
    Tray("TrayShowToday")->trigger();
    EXPECT_TRUE(disabledWhileOpen);
    EXPECT_TRUE(outEnabled);
    EXPECT_FALSE(Form->isVisible()); // still in the tray
    EXPECT_TRUE(Form->InTaskTray());

    QTimer::singleShot(0, [] {
        qobject_cast<TFormDaySchedule*>(QApplication::activeModalWidget())
            ->FindAction("ActionOutFromTaskTray")
            ->trigger();
    });
    OpenTrayMenu();
    Tray("TrayShowToday")->trigger();
    EXPECT_TRUE(Form->isVisible());
    EXPECT_FALSE(Form->InTaskTray());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(TTray, TheMenuMakesATodayToDoAtTheTopAndFollowsTheSchedule) {
    Form->FindAction("ActionIntoTaskTray")->trigger();
    QTimer::singleShot(0, [] { qobject_cast<TFormProperty*>(QApplication::activeModalWidget())->OkButton->click(); });
    OpenTrayMenu();
    Tray("TrayNewToDo")->trigger();
    EXPECT_FALSE(Form->InTaskTray());
    TTreeNode* first = Form->TreeList()->Items().GetFirstNode()->GetFirstChild();
    ASSERT_TRUE(first->Data());
    EXPECT_EQ(first->Text(), std::string("\x90\x56\x82\xb5\x82\xa2\x97\x5c\x92\xe8")); // 新しい予定
    EXPECT_EQ(first->Data()->BeginDate, kToday);
    EXPECT_EQ(Form->SelectedNode(), first);

    Form->SetModified(false);
    Form->Execute("ActionFileClose");
    OpenTrayMenu();
    EXPECT_FALSE(Tray("TrayNewToDo")->isEnabled());
    EXPECT_FALSE(Tray("TrayShowToday")->isEnabled());
    EXPECT_TRUE(Tray("TrayExit")->isEnabled());
    const QList<QAction*> order = Form->Tray().TrayPopup()->actions();
    ASSERT_EQ(order.size(), 6);
    EXPECT_EQ(order[0], Form->FindAction("ActionOutFromTaskTray"));
    EXPECT_EQ(order[2], Tray("TrayNewToDo"));
    EXPECT_EQ(order[5], Tray("TrayExit"));
}

TEST_F(TTray, EscGoesToTheTrayOnlyWhileActiveAndNotRenaming) {
    Form->ClearEditingShortcuts();
    EXPECT_TRUE(Form->FindAction("ActionIntoTaskTray")->shortcut().isEmpty());
    Form->SetEditingShortcuts();
    EXPECT_EQ(Form->FindAction("ActionIntoTaskTray")->shortcut(), QKeySequence(Qt::Key_Escape));
    Desktop.SetNextFile(Dir.File("とても長い予定表の名前.qlp"));
    Form->Execute("ActionFileSaveAs");
    EXPECT_EQ(Form->Tray().TrayIcon()->TipHelp(), QStringLiteral("とても長い予定表の名前"));
}
