// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/FileNames.h"
#include "core/TestTree.h"
#include "shell/MakeShortCut.h"
#include "shell/ShellFolder.h"
#include "shell/StartupShortcut.h"
#include "shell/UrlShortcut.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

using namespace quillo;
using namespace quillo::test;

namespace {
// Points HOME and the XDG folders at a temporary home for one test.
struct TFakeHome {
    TTempDir Dir;
    std::string OldHome, OldConfig, OldData;
    TFakeHome() {
        auto keep = [](const char* n) {
            const char* v = getenv(n);
            return std::string(v ? v : "");
        };
        OldHome = keep("HOME"), OldConfig = keep("XDG_CONFIG_HOME"), OldData = keep("XDG_DATA_HOME");
        setenv("HOME", Dir.Path().c_str(), 1);
        unsetenv("XDG_CONFIG_HOME");
        unsetenv("XDG_DATA_HOME");
    }
    ~TFakeHome() {
        auto restore = [](const char* n, const std::string& v) { v.empty() ? unsetenv(n) : setenv(n, v.c_str(), 1); };
        restore("HOME", OldHome), restore("XDG_CONFIG_HOME", OldConfig), restore("XDG_DATA_HOME", OldData);
    }
};

bool HaveValidator() {
    return std::system("command -v desktop-file-validate >/dev/null 2>&1") == 0;
}
} // namespace

TEST(FileNames, ShellFoldersOnThisDesktop) {
    TFakeHome home;
    const std::string h = home.Dir.Path();
    EXPECT_EQ(GetShellFolder(sfDesktop), h + "/Desktop/");
    EXPECT_EQ(GetShellFolder(sfStartMenu), h + "/.local/share/applications/");
    EXPECT_EQ(GetShellFolder(sfPrograms), h + "/.local/share/applications/");
    EXPECT_EQ(GetShellFolder(sfStartup), h + "/.config/autostart/");
    EXPECT_EQ(GetShellFolder(sfSendTo), "");
    EXPECT_EQ(GetShellFolder(sfFavorites), "");
    EXPECT_EQ(GetShellFolder(0), "");
    EXPECT_EQ(GetShellFolder(7), "");

    std::filesystem::create_directories(h + "/.config");
    WriteFile(h + "/.config/user-dirs.dirs",
              "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/デスクトップ\"\n");
    EXPECT_EQ(GetShellFolder(sfDesktop), h + "/デスクトップ/");
    setenv("XDG_CONFIG_HOME", (h + "/cfg").c_str(), 1);
    EXPECT_EQ(GetShellFolder(sfStartup), h + "/cfg/autostart/");

    unsetenv("HOME");
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(GetShellFolder(sfStartup), ""); // not "/": callers must not write at the root
    EXPECT_EQ(GetShellFolder(sfDesktop), "");
}

TEST(FileNames, PathHelpers) {
    EXPECT_EQ(AddPathDelimiter("/"), "/");
    EXPECT_EQ(AddPathDelimiter("/home/u"), "/home/u/");
    EXPECT_EQ(AddPathDelimiter("/home/u/"), "/home/u/");
    EXPECT_EQ(ExtractFileDir("/a/b/c.qlp"), "/a/b");
    EXPECT_EQ(ExtractFileDir("c.qlp"), ".");
    EXPECT_EQ(ExtractFileName("/a/b/c.qlp"), "c.qlp");
    EXPECT_EQ(ChangeFileExt("/a/quillo", ".ini"), "/a/quillo.ini");
    EXPECT_EQ(ChangeFileExt("/a.b/quillo.exe", ".ini"), "/a.b/quillo.ini");
}

TEST(FileNames, ExpandLongPath) {
    TTempDir dir;
    std::filesystem::create_directories(dir.File("sub"));
    WriteFile(dir.File("sub/plan.qlp"), "x");
    std::filesystem::create_symlink(dir.File("sub"), dir.File("link"));
    EXPECT_EQ(ExpandLongPath(dir.File("sub/../sub/./plan.qlp")), dir.File("sub/plan.qlp"));
    EXPECT_EQ(ExpandLongPath(dir.File("link/plan.qlp")), dir.File("link/plan.qlp")); // link kept
    EXPECT_EQ(ExpandLongPath(dir.File("sub")), "");
    EXPECT_EQ(ExpandLongPath(dir.File("missing.qlp")), "");
    auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    EXPECT_EQ(ExpandLongPath("sub/plan.qlp"), dir.File("sub/plan.qlp"));
    std::filesystem::current_path(cwd);
}

TEST(MakeShortCut, FullPathAndEntryText) {
    TFakeHome home;
    TMakeShortCut sc;
    sc.SCFileName = "/tmp/x/QuilloryPlan.lnk";
    EXPECT_EQ(sc.GetFullPath(), "/tmp/x/QuilloryPlan.desktop");
    sc.SCFileName = "plain";
    EXPECT_EQ(sc.GetFullPath(), "plain"); // tpBlank: unchanged
    sc.SCSystemPath = tpStartMenu;
    sc.SCFileName = "QuilloryPlan.lnk";
    EXPECT_EQ(sc.GetFullPath(), home.Dir.Path() + "/.local/share/applications/QuilloryPlan.desktop");

    sc.SCExecFile = "/opt/My Apps/quillo";
    sc.SCArguments = "-t \"/home/u/plan 100%.qlp\"";
    sc.SCWorkDir = "/opt/My Apps";
    sc.SCDescription = "予定表";
    EXPECT_EQ(sc.EntryText(), "[Desktop Entry]\nType=Application\nName=QuilloryPlan\n"
                              "Exec=\"/opt/My Apps/quillo\" -t \"/home/u/plan 100%%.qlp\"\n"
                              "TryExec=/opt/My Apps/quillo\nPath=/opt/My Apps\nComment=予定表\n"
                              "Icon=quillo\nCategories=Office;ProjectManagement;\n");
    EXPECT_EQ(TMakeShortCut::QuoteExecArgument("/usr/bin/quillo"), "/usr/bin/quillo");
    EXPECT_EQ(TMakeShortCut::QuoteExecArgument("/a$b"), "\"/a\\$b\"");
}

TEST(MakeShortCut, WrittenEntriesValidate) {
    TFakeHome home;
    TMakeShortCut sc;
    sc.SCExecFile = "/opt/My Apps/quillo";
    sc.SCArguments = "-t \"/home/u/予定 100%.qlp\"";
    sc.SCDescription = "Quillory Plan";
    sc.SCFileName = "QuilloryPlan.lnk";
    sc.SCSystemPath = tpDesktop;
    ASSERT_TRUE(sc.Make());
    const std::string onDesktop = sc.GetFullPath();
    struct stat st {};
    ASSERT_EQ(stat(onDesktop.c_str(), &st), 0);
    EXPECT_TRUE(st.st_mode & S_IXUSR); // desktops launch only executable entries

    sc.SCSystemPath = tpBlank;
    sc.SCFileName = GetShellFolder(sfStartup) + "QuilloryPlan.lnk";
    ASSERT_TRUE(sc.Make()); // creates the autostart folder
    stat(sc.GetFullPath().c_str(), &st);
    EXPECT_FALSE(st.st_mode & S_IXUSR);

    sc.SCFileName = home.Dir.Path() + "/";
    EXPECT_FALSE(sc.Make());

    if (!HaveValidator()) GTEST_SKIP() << "desktop-file-validate is not installed (Debian desktop-file-utils)";
    for (const std::string& path : {onDesktop, GetShellFolder(sfStartup) + "QuilloryPlan.desktop"}) {
        std::string cmd = "desktop-file-validate '" + path + "' >/dev/null 2>&1";
        EXPECT_EQ(std::system(cmd.c_str()), 0) << ReadFile(path);
    }
}

TEST(StartupShortcut, AnOldEntryIsRenamedOrGivesWayToANewOne) {
    TFakeHome home;
    const std::string folder = GetShellFolder(sfStartup);
    MigrateStartupShortcut(); // no folder yet: nothing to do
    std::filesystem::create_directories(folder);
    WriteFile(folder + "Quillo.desktop", "old");
    MigrateStartupShortcut();
    EXPECT_FALSE(IsRegularFile(folder + "Quillo.desktop"));
    EXPECT_EQ(ReadFile(folder + "QuilloryPlan.desktop"), "old");
    WriteFile(folder + "Quillo.desktop", "older");
    MigrateStartupShortcut();
    EXPECT_FALSE(IsRegularFile(folder + "Quillo.desktop"));
    EXPECT_EQ(ReadFile(folder + "QuilloryPlan.desktop"), "old");
}

TEST(UrlShortcut, AddressesOfShortcutFiles) {
    EXPECT_EQ(UrlOfInternetShortcut("[internetshortcut]\r\nIconIndex=1\r\nUrL=HtTp://Example.org/A?b=C\r\n"),
              std::optional<std::string>("HtTp://Example.org/A?b=C"));
    EXPECT_EQ(UrlOfInternetShortcut("URL=http://before/\r\n[InternetShortcut]\r\n"), std::nullopt);
    EXPECT_EQ(UrlOfInternetShortcut("x [INTERNETSHORTCUT] y\nhttp://x/url=1\n"), std::optional<std::string>("1"));
    TTempDir dir;
    WriteFile(dir.File("link.desktop"), "[Desktop Entry]\nType=Link\nName=x\nURL=https://example.org/\n");
    WriteFile(dir.File("app.desktop"), "[Desktop Entry]\nType=Application\nExec=x\n");
    WriteFile(dir.File("empty.URL"), "[InternetShortcut]\n");
    EXPECT_EQ(LinkOfFile(dir.File("link.desktop")), std::optional<std::string>("https://example.org/"));
    EXPECT_EQ(LinkOfFile(dir.File("app.desktop")), std::optional<std::string>(dir.File("app.desktop")));
    EXPECT_EQ(LinkOfFile(dir.File("empty.URL")), std::nullopt);
    EXPECT_EQ(LinkOfFile("/no/such/file.txt"), std::optional<std::string>("/no/such/file.txt"));
}
