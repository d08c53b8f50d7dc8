// SPDX-License-Identifier: GPL-3.0-or-later
// The reminder's section of the settings file beside the window's own rows.
#include "settings/NotifySettings.h"
#include "core/TestTree.h"
#include "model/Calendar.h"
#include "model/Chart.h"
#include "model/ExSections.h"
#include "settings/RegManager.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

using namespace quillo;
using namespace quillo::test;

namespace {
struct TNotifyStore : ::testing::Test {
    TTempDir Dir;
    TScriptedDesktop Desktop;
    TRegManager Store{&Desktop};
    TNotifyStore() {
        AddMainSettingsItems(Store.RegItems);
        AddNotifySettingsItems(Store.RegItems);
        Store.IniFileName = Dir.File("quillo.ini");
    }
};
} // namespace

TEST_F(TNotifyStore, OnUnlessTheFileSaysOffAndATypoKeepsThemOn) {
    EXPECT_EQ(LoadNotifySettings(Store), TReminderOptions{}); // no file
    WriteFile(Store.IniFileName, "[MainForm]\r\nPosX=1\r\n");
    EXPECT_EQ(LoadNotifySettings(Store), TReminderOptions{}); // no section
    WriteFile(Store.IniFileName, "[notifications]\r\nenabled=0\r\nCaution=off\r\nWarning= 2\r\n");
    const TReminderOptions read = LoadNotifySettings(Store);
    EXPECT_FALSE(read.Enabled);
    EXPECT_TRUE(read.Caution); // not a number: the default
    EXPECT_TRUE(read.Warning);
    EXPECT_TRUE(Desktop.Shown.empty());
}

TEST_F(TNotifyStore, ASectionOfItsOwnThatTheWindowsRowsPassOver) {
    TCalendar calendar;
    TChart chart(calendar);
    TExSections sections;
    for (int i = 0; i < 64; ++i)
        sections.Add()->SetMaxWidth(200);
    TMainSettings main;
    main.FormX = 12;
    SaveMainSettings(Store, 45000, calendar, chart, sections, main, Dir.File("quillo.hld"));
    const std::string before = ReadFile(Store.IniFileName);

    SaveNotifySettings(Store, {true, false, true});
    const std::string after = ReadFile(Store.IniFileName);
    EXPECT_EQ(after.substr(0, before.size()), before); // the window's rows stay as they were
    EXPECT_EQ(after.substr(before.size()), "[Notifications]\r\nEnabled=1\r\nCaution=0\r\nWarning=1\r\n");

    // The window's own save and load neither lose nor read the section.
    main.FormX = 34;
    SaveMainSettings(Store, 45000, calendar, chart, sections, main, Dir.File("quillo.hld"));
    TMainSettings again;
    LoadMainSettings(Store, 45000, calendar, chart, sections, again);
    EXPECT_EQ(again.FormX, 34);
    EXPECT_EQ(LoadNotifySettings(Store), (TReminderOptions{true, false, true}));
}
