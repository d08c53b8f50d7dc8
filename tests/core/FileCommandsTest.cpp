// SPDX-License-Identifier: GPL-3.0-or-later
#include "edit/FileCommands.h"
#include "base/Clock.h"
#include "base/Exceptions.h"
#include "core/TestTree.h"
#include "edit/Editor.h"
#include "model/Calendar.h"
#include "model/Chart.h"

#include <fcntl.h>
#include <sys/stat.h>

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
    bool WindowInFront = true;
    TTreeNode* Selected = nullptr;
    std::vector<std::string> Titles, Statuses;
    TFileCommands Files{Document,
                        Desktop,
                        Clock,
                        Ctx,
                        {[this] { Titles.push_back(Document.Title); },
                         [this](const std::string& s) { Statuses.push_back(s); },
                         [this](bool on) { BusyDepth += on ? 1 : -1; }, [this](bool on) { Rebuilds += on ? 1 : 0; },
                         [this] { ++Opened; }, [this] { return WindowInFront; }, [this] { return Selected; },
                         [this](TTreeNode* node) { Selected = node; }}};
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

namespace {
const char* const kPlan = "D\t2024\t5\t3\r\nA-\r\n{\r\nF\tWork\t\t+\r\n{\r\nI\tReport\t0\t-\t-\t-\t-\t-\t-\t0\t\r\n"
                          "I\tSlides\t0\t-\t-\t-\t-\t-\t-\t0\t\r\n}\r\n}\r\n";
// What another machine's copy writes through a synchronised folder: one more to-do.
const char* const kTheirPlan =
    "D\t2024\t5\t3\r\nA-\r\n{\r\nF\tWork\t\t+\r\n{\r\nI\tReport\t0\t-\t-\t-\t-\t-\t-\t0\t\r\n"
    "I\tSlides\t0\t-\t-\t-\t-\t-\t-\t0\t\r\nI\tTheirs\t0\t-\t-\t-\t-\t-\t-\t0\t\r\n}\r\n}\r\n";
const unsigned kDiskButtons = mbOverwrite | mbReload | mbSaveAs | mbCancel;

std::vector<std::string> Names(TTreeNode* node) {
    std::vector<std::string> names;
    for (TTreeNode* c = node->GetFirstChild(); c; c = c->GetNextSibling())
        names.push_back(c->Text());
    return names;
}
} // namespace

// A file another program rewrote is never written over without a question: cancel keeps both,
// reload shows the other program's items, overwrite writes ours. A file only touched, or
// deleted, is saved as before.
TEST_F(TFiles, ASaveOverAnotherProgramsChangeAsks) {
    const std::string path = Dir.File("plan.qlp");
    WriteFile(path, kPlan);
    Files.OpenNamed(path);
    Selected = Document.Root()->GetFirstChild()->GetFirstChild()->GetNextSibling(); // Slides
    Files.SetModified(true);
    WriteFile(path, kTheirPlan);

    Desktop.SetNextAnswer(mrCancel);
    Files.FileSave();
    ASSERT_EQ(Desktop.Shown.size(), 1u);
    EXPECT_EQ(Desktop.Shown.back().Buttons, kDiskButtons);
    EXPECT_EQ(ReadFile(path), kTheirPlan);
    EXPECT_TRUE(Document.Modified());

    Desktop.SetNextAnswer(mrReload);
    Files.FileSave();
    EXPECT_EQ(ReadFile(path), kTheirPlan);
    EXPECT_FALSE(Document.Modified());
    TTreeNode* work = Document.Root()->GetFirstChild();
    EXPECT_EQ(Names(work), (std::vector<std::string>{"Report", "Slides", "Theirs"}));
    EXPECT_EQ(Selected, work->GetFirstChild()->GetNextSibling()); // the same row in the new tree

    // Once read, the file is ours again: a save asks nothing.
    Files.SetModified(true);
    Files.FileSave();
    EXPECT_EQ(Desktop.Shown.size(), 2u);

    WriteFile(path, kPlan);
    Files.SetModified(true);
    Desktop.SetNextAnswer(mrOverwrite);
    Files.FileSave();
    EXPECT_NE(ReadFile(path).find("Theirs"), std::string::npos);
    EXPECT_FALSE(Document.Modified());

    // Same bytes with a new time (a sync tool touching it) and a deleted file: no question.
    const timespec times[2] = {{1000, 0}, {1000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    Files.SetModified(true);
    Files.FileSave();
    std::remove(path.c_str());
    Files.SetModified(true);
    Files.FileSave();
    EXPECT_EQ(Desktop.Shown.size(), 3u);
    EXPECT_NE(ReadFile(path).find("Theirs"), std::string::npos);
}

// The autosave never asks into an empty room: it holds the write until the window is in front,
// then asks. Coming to the front over an unmodified schedule reads the file again silently;
// over a modified one it offers to, once per change.
TEST_F(TFiles, TheWindowComingForwardCatchesChangesOnDisk) {
    const std::string path = Dir.File("plan.qlp");
    WriteFile(path, kPlan);
    Files.OpenNamed(path);
    Files.AutoSaveToggle();
    WriteFile(path, kTheirPlan);
    WindowInFront = false;
    for (int i = 0; i < 10; ++i)
        Files.MinuteTick();
    EXPECT_TRUE(Desktop.Shown.empty());
    EXPECT_EQ(ReadFile(path), kTheirPlan);
    EXPECT_TRUE(Document.Modified());

    WindowInFront = true;
    Desktop.SetNextAnswer(mrOverwrite);
    Files.WindowActivated();
    ASSERT_EQ(Desktop.Shown.size(), 1u);
    EXPECT_EQ(Desktop.Shown.back().Buttons, kDiskButtons);
    EXPECT_FALSE(Document.Modified());
    EXPECT_EQ(ReadFile(path).find("Theirs"), std::string::npos);

    WriteFile(path, kTheirPlan);
    Selected = Document.Root()->GetFirstChild()->GetFirstChild(); // Report
    Files.WindowActivated();
    EXPECT_EQ(Desktop.Shown.size(), 1u);
    EXPECT_FALSE(Document.Modified());
    EXPECT_EQ(Names(Document.Root()->GetFirstChild()).back(), "Theirs");
    EXPECT_EQ(Selected, Document.Root()->GetFirstChild()->GetFirstChild());

    WriteFile(path, kPlan);
    Files.SetModified(true);
    Desktop.SetNextAnswer(mrNo);
    Files.WindowActivated();
    Files.WindowActivated(); // the same change is not offered twice
    EXPECT_EQ(Desktop.Shown.size(), 2u);
    EXPECT_EQ(Desktop.Shown.back().Buttons, static_cast<unsigned>(mbYes | mbNo));
    EXPECT_EQ(Names(Document.Root()->GetFirstChild()).back(), "Theirs");

    // A file that no longer reads as a schedule is not taken in place of the open one.
    WriteFile(path, "half written");
    Desktop.SetNextAnswer(mrYes);
    EXPECT_THROW(Files.WindowActivated(), ELoadError);
    EXPECT_TRUE(Document.IsOpen());
    EXPECT_TRUE(Document.Modified());
}

// Open asks for the file before anything is closed; a request for the schedule already open
// leaves it as it is.
TEST_F(TFiles, OpenKeepsTheScheduleUntilAFileIsChosen) {
    const std::string path = Dir.File("plan.qlp");
    WriteFile(path, kPlan);
    Files.OpenNamed(path);
    Files.FileOpen(); // cancelled
    EXPECT_TRUE(Document.IsOpen());
    EXPECT_FALSE(Document.Modified());
    EXPECT_EQ(Document.FileName, path);
    EXPECT_TRUE(Desktop.Shown.empty());

    WriteFile(Dir.File("stray.txt"), "not a plan");
    Desktop.SetNextFile(Dir.File("stray.txt"));
    EXPECT_THROW(Files.FileOpen(), ELoadError);
    EXPECT_EQ(Document.FileName, path);
    EXPECT_TRUE(Document.IsOpen());

    Files.SetModified(true);
    EXPECT_TRUE(Files.OpenRequested(Dir.File("./plan.qlp")));
    EXPECT_TRUE(Document.Modified()); // not read again, nothing asked
    EXPECT_TRUE(Desktop.Shown.empty());

    WriteFile(Dir.File("other.qlp"), kTheirPlan);
    Desktop.SetNextAnswer(mrCancel);
    EXPECT_FALSE(Files.OpenRequested(Dir.File("other.qlp")));
    EXPECT_EQ(Document.FileName, path);
    Desktop.SetNextAnswer(mrNo);
    EXPECT_TRUE(Files.OpenRequested(Dir.File("other.qlp")));
    EXPECT_EQ(Document.Title, "other");
}
