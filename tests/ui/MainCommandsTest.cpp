// SPDX-License-Identifier: GPL-3.0-or-later
// The command table: every command bound by a part, reachable, with keys no other command
// shares; the keys a rename box borrows come back whole; errors of a command are shown.
#include "main/MainCommands.h"
#include "base/Exceptions.h"
#include "controls/TreeList.h"
#include "main/FormMain.h"
#include "main/MainTray.h"
#include "main/TreeGestures.h"
#include "ui/MainParts.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <gtest/gtest.h>
#include <map>
#include <set>

using namespace quillo;
using namespace quillo::test;

namespace {
void Collect(QMenu* menu, std::set<QAction*>& into) {
    for (QAction* a : menu->actions())
        if (a->menu())
            Collect(a->menu(), into);
        else if (!a->isSeparator())
            into.insert(a);
}
} // namespace

TEST(MainCommands, EveryCommandIsBoundShownAndKeyedOnce) {
    TScriptedDesktop desktop;
    TFixedClock clock(D(2024, 5, 3) + 0.5);
    TFormMain form(desktop, clock, "");
    std::set<QAction*> shown;
    for (QAction* a : form.menuBar()->actions())
        Collect(a->menu(), shown);
    for (QAction* a : form.findChild<QToolBar*>()->actions())
        if (!a->isSeparator()) shown.insert(a);
    Collect(form.Gestures().TreePopup(), shown);
    Collect(form.Tray().TrayPopup(), shown);
    std::map<QKeySequence, std::string> keys;
    for (const TCommandRow& row : kMainCommands) {
        QAction* a = form.FindAction(row.Name);
        ASSERT_TRUE(a) << row.Name;
        EXPECT_TRUE(form.Commands().Bound(row.Name)) << row.Name << " does nothing";
        EXPECT_TRUE(shown.count(a)) << row.Name << " is in no menu";
        for (const QKeySequence& key : a->shortcuts()) {
            const auto [at, added] = keys.emplace(key, row.Name);
            EXPECT_TRUE(added) << row.Name << " and " << at->second << " share a key, so neither runs";
        }
        if (std::string_view(row.Hint).find('|') != std::string_view::npos) {
            EXPECT_EQ((a->toolTip() + "|" + a->statusTip()).toStdString(), row.Hint) << row.Name;
        }
    }
    for (QAction* a : shown) // a menu entry is a command of the table or a part's own
        EXPECT_TRUE(form.FindAction(a->objectName().toUtf8().constData()) || !a->objectName().startsWith("Action"))
            << a->objectName().toStdString();
    form.SetModified(false);
}

TEST(MainCommands, TheRenameBoxBorrowsTheEditingKeysAndGivesThemAllBack) {
    TMainParts parts(D(2024, 5, 3));
    auto keys = [&](const char* name) { return parts.Action(name)->shortcuts(); };
    const auto redo = keys("ActionEditRedo"), del = keys("ActionItemDelete");
    ASSERT_EQ(redo.size(), 2); // Ctrl+Y and Ctrl+Shift+Z
    parts.Commands->SetEditingKeys(false);
    for (const TCommandRow& row : kMainCommands)
        EXPECT_EQ(keys(row.Name).isEmpty(), row.Use == kuEditing || row.Key == QKeyCombination()) << row.Name;
    EXPECT_EQ(keys("ActionItemToDoNew"), QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_N)}); // never lent
    parts.Commands->SetEditingKeys(true);
    EXPECT_EQ(keys("ActionEditRedo"), redo);
    EXPECT_EQ(keys("ActionItemDelete"), del);
}

TEST(MainCommands, RunShowsWhatACommandThrowsAndExecuteHonoursTheRules) {
    TMainParts parts(D(2024, 5, 3));
    TMainCommands& commands = *parts.Commands;
    int ran = 0;
    bool allowed = false;
    commands.Bind(
        "ActionHelp", [&] { ++ran; }, [&] { return allowed; });
    commands.Execute("ActionHelp");
    EXPECT_EQ(ran, 0);
    EXPECT_FALSE(parts.Action("ActionHelp")->isEnabled());
    allowed = true;
    commands.Execute("ActionHelp");
    EXPECT_EQ(ran, 1);
    commands.Bind("ActionVerDlg", [] { throw EQuilloError("壊れています"); });
    parts.Action("ActionVerDlg")->setEnabled(true);
    parts.Action("ActionVerDlg")->trigger();
    ASSERT_EQ(parts.Desktop.Shown.size(), 1u);
    EXPECT_EQ(parts.Desktop.Shown[0].Text, "壊れています");
    EXPECT_EQ(parts.Desktop.Shown[0].Type, mtError);
    EXPECT_EQ(parts.Desktop.Sounds.back(), sndError);
    EXPECT_FALSE(parts.Action("ActionFileSave")->isEnabled()); // nothing bound there: never enabled
}
