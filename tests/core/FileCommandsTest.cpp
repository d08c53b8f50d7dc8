// SPDX-License-Identifier: GPL-3.0-or-later
#include "edit/FileCommands.h"
#include "base/Clock.h"
#include "base/Exceptions.h"
#include "core/TestTree.h"
#include "edit/Editor.h"
#include "model/Calendar.h"
#include "model/Chart.h"

#include <gtest/gtest.h>

using namespace quillo;
using namespace quillo::test;

namespace {
struct TFiles : ::testing::Test {
    TTempDir Dir;
    TScriptedDesktop Desktop;
    TFixedClock Clock{D(2024, 5, 3) + 0.5};
    TCalendar Calendar;
    TChart Chart{Calendar};
    TEvalContext Ctx{D(2024, 5, 3), &Calendar, &Chart};
    TDocument Document;
    int BusyDepth = 0, Rebuilds = 0, Opened = 0;
    std::vector<std::string> Titles, Statuses;
    TFileCommands Files{Document,
                        Desktop,
                        Clock,
                        Ctx,
                        {[this] { Titles.push_back(Document.Title); },
                         [this](const std::string& s) { Statuses.push_back(s); },
                         [this](bool on) { BusyDepth += on ? 1 : -1; }, [this](bool on) { Rebuilds += on ? 1 : 0; },
                         [this] { ++Opened; }}};
};
} // namespace

// The file commands run headless: every question, refusal and state change is visible here,
// and the hourglass and the suspended redraw always end, however a command ends.
TEST_F(TFiles, OpeningStrayAndGoodFilesEndToEnd) {
    WriteFile(Dir.File("notes.qlp"), "shopping list\nmilk\n");
    Desktop.SetNextFile(Dir.File("notes.qlp"));
    EXPECT_THROW(Files.FileOpen(), ELoadError);
    EXPECT_FALSE(Document.IsOpen());
    EXPECT_TRUE(Document.FileName.empty());
    EXPECT_EQ(BusyDepth, 0);
    EXPECT_EQ(ReadFile(Dir.File("notes.qlp")), "shopping list\nmilk\n"); // nothing to save over it

    WriteFile(Dir.File("plan.qlp"),
              "D\t2024\t5\t3\r\nA+\r\n{\r\nF\tWork\t\t+\r\n{\r\nI\tReport\t0\t-\t-\t-\t-\t-\t-\t0\t\r\n}\r\n}\r\n");
    Desktop.SetNextFile(Dir.File("plan.qlp"));
    Files.FileOpen();
    EXPECT_EQ(BusyDepth, 0);
    EXPECT_EQ(Opened, 1);
    EXPECT_EQ(Titles.back(), "plan");
    EXPECT_EQ(Statuses.back(), "自動保存：有効");
    EXPECT_TRUE(Document.AutoSave);
    EXPECT_FALSE(Document.Modified());
    EXPECT_TRUE(Document.Root()->GetFirstChild()->Expanded());

    // Saving keeps the view as it is: no rebuild, so the selection stays where the user left it.
    const int rebuilds = Rebuilds;
    Files.SetModified(true);
    Files.FileSave();
    EXPECT_EQ(Rebuilds, rebuilds);
    // A change with autosave on is written at close without a question.
    Document.Root()->GetFirstChild()->Collapse();
    Files.SetModified(true);
    EXPECT_TRUE(Files.CloseQuery());
    EXPECT_TRUE(Desktop.Shown.empty());
    EXPECT_FALSE(Document.IsOpen());
    EXPECT_NE(ReadFile(Dir.File("plan.qlp")).find("F\tWork\t\t-\r\n"), std::string::npos);
    EXPECT_EQ(Titles.back(), "");
}

TEST_F(TFiles, AbortingABadLineLeavesNothingOpen) {
    WriteFile(Dir.File("bad.qlp"), "D\t2024\t5\t3\r\n{\r\nF\tok\t\t-\r\nI\tx\r\n}\r\n");
    Desktop.SetNextAnswer(mrAbort);
    EXPECT_THROW(Files.OpenNamed(Dir.File("bad.qlp")), ELoadError);
    EXPECT_FALSE(Document.IsOpen());
    EXPECT_EQ(Document.Nodes().Count(), 0);
    EXPECT_EQ(BusyDepth, 0);
    EXPECT_EQ(Desktop.Sounds.front(), sndError);
}

TEST_F(TFiles, ANewScheduleShowsItsFirstToDo) {
    Files.FileNew();
    ASSERT_TRUE(Document.Root());
    EXPECT_TRUE(Document.Root()->Expanded()); // a to-do added at the top level is in sight at once
}

// Every change of the modified mark reaches the status text, whoever made it: a command's step,
// an undo back to the file's state, the autosave switch; a save and a new schedule clear it.
TEST_F(TFiles, TheStatusFollowsTheModifiedMark) {
    WriteFile(Dir.File("plan.qlp"), "D\t2024\t5\t3\r\nA-\r\n{\r\nI\tReport\t0\t-\t-\t-\t-\t-\t-\t0\t\r\n}\r\n");
    Files.OpenNamed(Dir.File("plan.qlp"));
    TScheduleEditor editor(Document, Ctx);
    editor.SetDone(Document.Root()->GetFirstChild(), true);
    EXPECT_EQ(Statuses.back(), "変更あり 12:00:00");
    editor.Undo();
    EXPECT_EQ(Statuses.back(), "保存時の状態に戻りました");
    EXPECT_FALSE(Document.Modified());
    Files.AutoSaveToggle();
    Files.AutoSaveToggle(); // the file's flag is as it was, the schedule still counts as changed
    EXPECT_TRUE(Document.Modified());
    editor.Redo();
    editor.Undo();
    EXPECT_EQ(Statuses.back(), "変更あり 12:00:00");
    Files.FileSave();
    EXPECT_FALSE(Document.Modified());
    EXPECT_EQ(Statuses.back(), "保存完了 12:00:00");
    editor.Redo();
    Desktop.SetNextAnswer(mrNo);
    Files.FileNew(); // autosave is off: asks, and No drops the change
    EXPECT_FALSE(Document.Modified());
    EXPECT_EQ(Desktop.Shown.back().Text, "「plan」は更新されています。保存しますか？");
}
