// SPDX-License-Identifier: GPL-3.0-or-later
// What start-up and shutdown rely on without a window: the single-instance lock and the
// settings file as a whole.
#include "base/Exceptions.h"
#include "core/TestTree.h"
#include "model/Calendar.h"
#include "model/Chart.h"
#include "model/ExSections.h"
#include "settings/ConfigPaths.h"
#include "settings/IniFile.h"
#include "settings/RegManager.h"
#include "settings/Settings.h"
#include "shell/InstanceLock.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace quillo;
using namespace quillo::test;

namespace {
// Asks a separate process whether it could take the lock: 0 acquired, 1 held elsewhere, 2 failed.
int TryInChild(const std::string& path) {
    pid_t pid = fork();
    if (pid == 0) {
        TInstanceLock lock;
        std::string error;
        _exit(static_cast<int>(lock.Acquire(path, error)));
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
} // namespace

TEST(InstanceLock, OneHolderAtATimeAndNothingStaleEverBlocks) {
    TTempDir dir;
    const std::string path = dir.File("ToDo_Scheduler_Instance.lock");
    WriteFile(path, std::string("\0garbage\xff", 9)); // whatever a crash left
    std::string error;
    {
        TInstanceLock lock;
        ASSERT_EQ(lock.Acquire(path, error), TInstanceLock::ilAcquired) << error;
        EXPECT_EQ(TryInChild(path), TInstanceLock::ilHeldElsewhere);
    }
    EXPECT_EQ(TryInChild(path), TInstanceLock::ilAcquired);

    // A holder killed outright releases the lock with its death.
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    pid_t holder = fork();
    if (holder == 0) {
        TInstanceLock lock;
        std::string e;
        lock.Acquire(path, e);
        (void)!write(ready[1], "x", 1);
        pause();
        _exit(0);
    }
    char c;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    EXPECT_EQ(TryInChild(path), TInstanceLock::ilHeldElsewhere);
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    EXPECT_EQ(TryInChild(path), TInstanceLock::ilAcquired);
    EXPECT_EQ(TryInChild(dir.File("no/folder/lock")), TInstanceLock::ilFailed);
}

// The lock says in the user's words what went wrong, with the path; a runtime folder that another
// user owns or may write is not trusted with it.
TEST(InstanceLock, FailuresNameThePathAndForeignFoldersAreNotUsed) {
    TTempDir dir;
    std::string error;
    TInstanceLock lock;
    EXPECT_EQ(lock.Acquire(dir.File("no/folder/x.lock"), error), TInstanceLock::ilFailed);
    EXPECT_EQ(error, "二重起動を防ぐためのロックファイルを開けません。\r\n" + dir.File("no/folder/x.lock") +
                         "\r\nフォルダが見つかりません。");
    ASSERT_EQ(symlink(dir.File("elsewhere").c_str(), dir.File("link.lock").c_str()), 0);
    EXPECT_EQ(lock.Acquire(dir.File("link.lock"), error), TInstanceLock::ilFailed);
    EXPECT_NE(error.find("シンボリックリンク"), std::string::npos);

    const char* saved = std::getenv("XDG_RUNTIME_DIR");
    const std::string keep = saved ? saved : "";
    WriteFile(dir.File("file"), "x");
    chmod(dir.File("file").c_str(), 0600);
    // Writable or only enterable by the group or the world is foreign too; so are the root and a file.
    const std::pair<std::string, mode_t> foreigns[] = {{dir.Path(), 0777}, {dir.Path(), 0720}, {dir.Path(), 0702},
                                                       {dir.Path(), 0750}, {dir.Path(), 0701}, {"/", 0700},
                                                       {dir.File("file"), 0700}};
    for (const auto& [foreign, mode] : foreigns) {
        chmod(dir.Path().c_str(), mode);
        setenv("XDG_RUNTIME_DIR", foreign.c_str(), 1);
        const std::string used = RuntimeDirectory(&error);
        EXPECT_NE(used, foreign) << std::oct << mode;
        EXPECT_TRUE(!used.empty() || error.find("/tmp/quillo-runtime-") != std::string::npos) << error;
    }
    chmod(dir.Path().c_str(), 0700);
    setenv("XDG_RUNTIME_DIR", dir.Path().c_str(), 1);
    if (getuid() == 0) { // only root can hand a private folder to somebody else
        ASSERT_EQ(chown(dir.Path().c_str(), 65534, 65534), 0);
        EXPECT_NE(RuntimeDirectory(), dir.Path());
        ASSERT_EQ(chown(dir.Path().c_str(), 0, 0), 0);
    }
    EXPECT_EQ(RuntimeDirectory(), dir.Path());
    if (saved)
        setenv("XDG_RUNTIME_DIR", keep.c_str(), 1);
    else
        unsetenv("XDG_RUNTIME_DIR");
}

// A relative runtime or config folder means nothing to a program started elsewhere: ignored.
TEST(InstanceLock, RelativeRuntimeAndConfigFoldersAreIgnored) {
    TTempDir dir;
    const std::string cwd = std::filesystem::current_path().string();
    std::filesystem::current_path(dir.Path());
    ASSERT_EQ(mkdir("rt", 0700) | mkdir("cfg", 0700), 0);
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::string keep = runtime ? runtime : "";
    setenv("XDG_RUNTIME_DIR", "rt", 1);
    setenv("XDG_CONFIG_HOME", "cfg", 1); // the home and config folder are every shell test's to set
    setenv("HOME", dir.Path().c_str(), 1);
    unsetenv("QUILLO_CONFIG_DIR");
    const std::string used = RuntimeDirectory(), settings = ConfigDirectory();
    std::filesystem::current_path(cwd);
    runtime ? setenv("XDG_RUNTIME_DIR", keep.c_str(), 1) : unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(used.rfind("/tmp/quillo-runtime-", 0), 0u) << used;
    EXPECT_EQ(settings, dir.Path() + "/.config/quillo");
}

namespace {
struct TSettingsFile : ::testing::Test {
    TTempDir Dir;
    TScriptedDesktop Desktop;
    TRegManager Store{&Desktop};
    TCalendar Calendar;
    TChart Chart{Calendar};
    TExSections Sections;
    TMainSettings Settings;
    TSettingsFile() {
        AddMainSettingsItems(Store.RegItems);
        Store.IniFileName = Dir.File("quillo.ini");
        for (int i = 0; i < 64; ++i)
            Sections.Add()->SetMaxWidth(i == 0 ? 10000 : 200);
    }
    void Save() { SaveMainSettings(Store, 45000, Calendar, Chart, Sections, Settings, Dir.File("quillo.hld")); }
};
} // namespace

TEST_F(TSettingsFile, WritingKeepsAWindowsFileReadableAndEverythingElseInIt) {
    const std::string windows = "; written on Windows\r\n[MAINFORM]\r\nposx=5\r\n\r\n[Plugins]\r\nOther=x\r\n"
                                "[holidays]\r\nSUN=1\r\n; trailing comment\r\n";
    WriteFile(Store.IniFileName, windows);
    LoadMainSettings(Store, 45000, Calendar, Chart, Sections, Settings);
    EXPECT_EQ(Settings.FormX, 5);
    EXPECT_EQ(Calendar.WeekdayLevel(1), 1);
    Chart.SetChartDate(45000 - 10);
    Calendar.SetHolidayDates({"2024\t5\t6\t2"});
    Settings.FormY = 7;
    Save();
    const std::string text = ReadFile(Store.IniFileName);
    for (const char* kept : {"; written on Windows\r\n", "[MAINFORM]\r\nposx=5\r\n", "[Plugins]\r\nOther=x\r\n",
                             "SUN=1\r\n", "; trailing comment\r\n", "ChartDate=-10\r\n"})
        EXPECT_NE(text.find(kept), std::string::npos) << kept << "\n" << text;
    EXPECT_EQ(text.find("\n\n"), std::string::npos); // CR LF everywhere
    EXPECT_EQ(ReadFile(Dir.File("quillo.hld")), "2024\t5\t6\t2\r\n");
    TMainSettings again;
    TCalendar calendar;
    TChart chart(calendar);
    LoadMainSettings(Store, 45000, calendar, chart, Sections, again);
    EXPECT_EQ(again.FormY, 7);
    EXPECT_EQ(chart.ChartDate(), 45000 - 10);
}

TEST_F(TSettingsFile, AReadOnlyFolderFailsEveryWriteAndChangesNothing) {
    Save();
    const std::string ini = ReadFile(Store.IniFileName), hld = ReadFile(Dir.File("quillo.hld"));
    Calendar.HolidayLv = 1;
    Calendar.SetHolidayDates({"2024\t5\t6\t2"});
    const int rc = RunInReadOnlyFolder(Dir.Path(), [&] {
        try {
            Save();
        } catch (const EQuilloError& e) {
            return std::string(e.what()) == Store.IniFileName + " に書き込めません" ? 0 : 2;
        }
        return 1;
    });
    if (rc == kCannotDropRights) GTEST_SKIP() << "cannot make a folder read-only for this process";
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(ReadFile(Store.IniFileName), ini);
    EXPECT_EQ(ReadFile(Dir.File("quillo.hld")), hld);
}

// A hand-edited file: every number is brought into what the rules and the screen can use, for
// the window and for the terminal program alike.
TEST_F(TSettingsFile, ValuesOutOfRangeAreBroughtIntoRangeOnLoad) {
    WriteFile(Store.IniFileName, "[Holidays]\r\nSun=-3\r\nMon=9\r\n[DateCount]\r\nAlertCount=99\r\nHolidayLv=-1\r\n"
                                 "[Header]\r\nChartDate=99999999\r\nSection0=-50\r\nSection4=100000000\r\n"
                                 "[MainForm]\r\nPosX=-999999999\r\nWidth=-5\r\n[PropForm]\r\nPosY=2000000000\r\n");
    LoadMainSettings(Store, 45000, Calendar, Chart, Sections, Settings);
    TCalendar cli;
    int offset = 0;
    ReadCalendarSettings(Store, cli, offset);
    for (const TCalendar* c : {&Calendar, &cli}) {
        EXPECT_EQ(c->WeekdayLevel(1), dlWorkday);
        EXPECT_EQ(c->WeekdayLevel(2), dlHoliday);
        EXPECT_EQ(c->AlertCount, kMaxAlertCount);
        EXPECT_EQ(c->HolidayLv, dlWorkday);
    }
    EXPECT_EQ(offset, kMaxChartOffset);
    EXPECT_EQ(Chart.ChartDate(), 45000 + kMaxChartOffset);
    EXPECT_EQ(Sections.Items(0)->Width(), 0);
    for (int i = kStoredSections - 1; i < Sections.Count(); ++i)
        EXPECT_EQ(Sections.Items(i)->Width(), 200) << i; // every day column, within its own limit
    EXPECT_EQ(Settings.FormX, -100000);
    EXPECT_EQ(Settings.FormW, 0);
    EXPECT_EQ(Settings.PropY, 100000);
}
