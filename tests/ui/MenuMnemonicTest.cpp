// SPDX-License-Identifier: GPL-3.0-or-later
// Alt and a letter must reach one entry in every menu of the window, the tray's included.
#include "base/Clock.h"
#include "core/TestTree.h"
#include "main/FormMain.h"
#include "main/MainTray.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <gtest/gtest.h>
#include <map>

using namespace quillo;
using namespace quillo::test;

namespace {
// "menu: problem" for each letter taken twice and, where `needLetter`, each entry without one;
// submenus included.
void CheckMenu(const QString& name, const QList<QAction*>& actions, std::vector<std::string>& problems,
               bool needLetter = true) {
    std::map<int, QString> taken;
    for (QAction* action : actions) {
        if (action->isSeparator() || action->text().isEmpty()) continue;
        const QString text = action->text();
        const int key = QKeySequence::mnemonic(text).isEmpty() ? 0 : QKeySequence::mnemonic(text)[0].toCombined();
        if (!key) {
            if (needLetter) problems.push_back((name + ": no letter in " + text).toStdString());
        } else if (auto [at, fresh] = taken.emplace(key, text); !fresh)
            problems.push_back((name + ": " + at->second + " and " + text + " share a letter").toStdString());
        if (QMenu* sub = action->menu()) CheckMenu(name + " > " + text, sub->actions(), problems, needLetter);
    }
}
} // namespace

TEST(Menus, EveryEntryHasALetterOfItsOwn) {
    TTempDir dir;
    TScriptedDesktop desktop;
    TFixedClock clock{D(2024, 5, 3) + 0.5};
    TFormMain form(desktop, clock, dir.File("quillo.ini"));
    form.FormCreate({});
    std::vector<std::string> problems;
    CheckMenu("menu bar", form.menuBar()->actions(), problems);
    CheckMenu("tray", form.Tray().TrayPopup()->actions(), problems, false); // its entries are named without letters
    EXPECT_TRUE(problems.empty()) << ::testing::PrintToString(problems);
}
