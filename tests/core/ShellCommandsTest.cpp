// SPDX-License-Identifier: GPL-3.0-or-later
// The shortcut and association commands against a private home: what they ask and answer, and
// what the freedesktop tools then see.
#include "shell/ShellCommands.h"
#include "base/FileNames.h"
#include "core/TestTree.h"
#include "shell/MimeAssociation.h"
#include "shell/ShellFolder.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

using namespace quillo;
using namespace quillo::test;

namespace {
const char* const kProgram = "/opt/My Apps/quillo";

// Everything the desktop reads from the user's folders points into a temporary one.
struct TShellHome : ::testing::Test {
    TTempDir Home;
    TScriptedDesktop Desktop;
    TShellHome() {
        setenv("HOME", Home.Path().c_str(), 1);
        setenv("XDG_DATA_HOME", Home.File("data").c_str(), 1);
        setenv("XDG_CONFIG_HOME", Home.File("config").c_str(), 1);
        setenv("XDG_DATA_DIRS", Home.File("system").c_str(), 1);
        setenv("XDG_CONFIG_DIRS", Home.File("etc").c_str(), 1); // no system-wide defaults
        unsetenv("XDG_CURRENT_DESKTOP");
        std::filesystem::create_directories(Home.File("system/mime/packages"));
        std::filesystem::create_directories(Home.File("Desktop"));
        std::filesystem::create_directories(Home.File("config"));
    }
    std::string Last() const { return Desktop.Shown.empty() ? "" : Desktop.Shown.back().Text; }
    static bool HasTool(const char* name) {
        return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
    }
    // The first line a shell command prints, in the private home.
    static std::string Output(const std::string& command) {
        std::string out;
        if (FILE* p = popen((command + " 2>/dev/null").c_str(), "r")) {
            std::array<char, 512> buf{};
            while (fgets(buf.data(), buf.size(), p))
                out += buf.data();
            pclose(p);
        }
        while (!out.empty() && (out.back() == '\n' || out.back() == ' '))
            out.pop_back();
        return out;
    }
    // Valid, and hidden by the desktop once the program is gone.
    void ExpectValidEntry(const std::string& path) {
        ASSERT_TRUE(IsRegularFile(path)) << path;
        const std::string text = ReadFile(path);
        for (const std::string& line : {std::string("\nTryExec=") + kProgram + "\n", std::string("\nIcon=quillo\n"),
                                        std::string("\nCategories=Office;ProjectManagement;\n")})
            EXPECT_NE(text.find(line), std::string::npos) << line << " in " << text;
        if (HasTool("desktop-file-validate")) {
            EXPECT_EQ(Output("desktop-file-validate '" + path + "'"), "") << path;
        }
    }
};
} // namespace

TEST_F(TShellHome, ShortcutsAreMadeAskedForAndRemoved) {
    Desktop.SetNextAnswer(mrNo);
    SetDesktopShortcut(Desktop, kProgram);
    EXPECT_FALSE(IsRegularFile(DesktopShortcutPath())); // only Yes makes it

    Desktop.SetNextAnswer(mrYes);
    SetDesktopShortcut(Desktop, kProgram);
    EXPECT_EQ(DesktopShortcutPath(), Home.File("Desktop/QuilloryPlanへのｼｮｰﾄｶｯﾄ.desktop"));
    EXPECT_EQ(Last(), "以下のショートカットを作成しました。\r\n" + DesktopShortcutPath());
    EXPECT_EQ(Desktop.Shown.back().Type, mtInformation);
    ExpectValidEntry(DesktopShortcutPath());

    CutStartMenuShortcut(Desktop);
    EXPECT_EQ(Last(), "スタートメニューに登録されているショートカットはありません。");
    Desktop.SetNextAnswer(mrYes);
    SetStartMenuShortcut(Desktop, kProgram);
    EXPECT_EQ(StartMenuShortcutPath(), Home.File("data/applications/QuilloryPlan.desktop"));
    ExpectValidEntry(StartMenuShortcutPath());
    EXPECT_NE(ReadFile(StartMenuShortcutPath()).find("Exec=\"/opt/My Apps/quillo\"\n"), std::string::npos);
    Desktop.SetNextAnswer(mrYes);
    CutStartMenuShortcut(Desktop);
    EXPECT_EQ(Last(), "以下のショートカットを削除しました。\r\n" + StartMenuShortcutPath());
    EXPECT_FALSE(IsRegularFile(StartMenuShortcutPath()));

    // A schedule whose path needs every kind of quoting opens in the tray at log-on.
    const std::string plan = Home.File("a \"b\" $c\\d 100%.qlp");
    Desktop.SetNextAnswer(mrYes);
    SetStartUpShortcut(Desktop, kProgram, plan, "a \"b\"");
    EXPECT_EQ(Desktop.Shown[Desktop.Shown.size() - 2].Text, "「a "
                                                            "\"b\"」のショートカットをスタートアップに登録しますか？\r"
                                                            "\n（既に登録されているショートカットは上書きされます）");
    EXPECT_EQ(StartUpShortcutPath(), Home.File("config/autostart/QuilloryPlan.desktop"));
    ExpectValidEntry(StartUpShortcutPath());
    EXPECT_EQ(StartUpArguments(plan), "-t \"" + Home.Path() + "/a \\\"b\\\" \\$c\\\\d 100%.qlp\"");
    if (HasTool("desktop-file-validate")) {
        // A percent sign in the path is doubled, so that the desktop does not take it for a field code.
        const std::string text = ReadFile(StartUpShortcutPath());
        EXPECT_NE(text.find("%%.qlp"), std::string::npos);
    }
    Desktop.SetNextAnswer(mrYes);
    CutStartUpShortcut(Desktop);
    EXPECT_FALSE(IsRegularFile(StartUpShortcutPath()));
    CutStartUpShortcut(Desktop);
    EXPECT_EQ(Last(), "スタートアップに登録されているショートカットはありません。");
}

TEST_F(TShellHome, AShortcutThatCannotBeWrittenIsNotReportedAsMade) {
    WriteFile(Home.File("data"), "a file where the folder should be");
    Desktop.SetNextAnswer(mrYes);
    SetStartMenuShortcut(Desktop, kProgram);
    EXPECT_EQ(Desktop.Shown.back().Type, mtError);
    EXPECT_EQ(Last().rfind("ショートカットを作成できませんでした。", 0), 0u);
}

TEST_F(TShellHome, TheAssociationIsSetTwiceRemovedAndNeverTakesAnotherProgramsType) {
    if (!HasTool("update-mime-database")) GTEST_SKIP() << "shared-mime-info is not installed";
    const std::string sample = Home.File("x.qlp");
    WriteFile(sample, "{\n}\n");
    CutAssociation(Desktop);
    EXPECT_EQ(Last(), "拡張子QLPに関連付けられているプログラムはありません");

    WriteFile(Home.File("config/mimeapps.list"), "[Default Applications]\r\ntext/plain=other.desktop;\r\n"
                                                 "\r\n[Added Associations]\r\nimage/png=viewer.desktop;\r\n");
    for (int round = 0; round < 2; ++round) {
        Desktop.SetNextAnswer(mrYes);
        SetAssociation(Desktop, kProgram);
        EXPECT_EQ(Last(), "拡張子QLPに、このプログラムを関連付けました。");
    }
    EXPECT_EQ(TypesClaimingQlp(TMimePaths::FromEnvironment()), std::vector<std::string>{kScheduleMimeType});
    EXPECT_EQ(ReadFile(Home.File("config/mimeapps.list")),
              "[Default Applications]\r\napplication/x-quilloryplan-schedule=QuilloryPlan_Schedule_File.desktop;\r\n"
              "text/plain=other.desktop;\r\n\r\n[Added Associations]\r\nimage/png=viewer.desktop;\r\n");
    ExpectValidEntry(TMimePaths::FromEnvironment().EntryFile());
    if (HasTool("xdg-mime") && HasTool("mimetype")) {
        EXPECT_EQ(Output("xdg-mime query filetype '" + sample + "'"), kScheduleMimeType);
        EXPECT_EQ(Output(std::string("xdg-mime query default ") + kScheduleMimeType),
                  "QuilloryPlan_Schedule_File.desktop");
    }

    Desktop.SetNextAnswer(mrYes);
    CutAssociation(Desktop);
    EXPECT_EQ(Last(), "拡張子QLPからこのプログラムの関連付けを解除しました。");
    EXPECT_EQ(ReadFile(Home.File("config/mimeapps.list")),
              "[Default Applications]\r\ntext/plain=other.desktop;\r\n\r\n[Added Associations]\r\n"
              "image/png=viewer.desktop;\r\n");
    EXPECT_TRUE(TypesClaimingQlp(TMimePaths::FromEnvironment()).empty());
    if (HasTool("xdg-mime") && HasTool("mimetype")) {
        EXPECT_NE(Output("xdg-mime query filetype '" + sample + "'"), kScheduleMimeType);
        EXPECT_EQ(Output(std::string("xdg-mime query default ") + kScheduleMimeType), "");
    }

    // Another program's type claims the extension: refused, nothing written, and not removable.
    WriteFile(Home.File("system/mime/packages/other.xml"),
              "<?xml version=\"1.0\"?>\n<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">"
              "<mime-type type=\"application/x-other\"><glob pattern=\"*.qlp\"/></mime-type></mime-info>\n");
    ASSERT_EQ(std::system(("update-mime-database '" + Home.File("system/mime") + "'").c_str()), 0);
    const std::string before = ReadFile(Home.File("config/mimeapps.list"));
    Desktop.SetNextAnswer(mrYes);
    SetAssociation(Desktop, kProgram);
    EXPECT_EQ(Last(), "拡張子QLPには、既に他のプログラムが関連付けられています。");
    EXPECT_EQ(Desktop.Shown.back().Buttons, unsigned(mbAbort));
    EXPECT_FALSE(IsRegularFile(TMimePaths::FromEnvironment().PackageFile()));
    EXPECT_EQ(ReadFile(Home.File("config/mimeapps.list")), before);
    Desktop.SetNextAnswer(mrYes);
    CutAssociation(Desktop);
    EXPECT_EQ(Last(), "拡張子QLPには他のプログラムが関連付けられています。");

    // Only No ends the question; a box closed another way goes on.
    const size_t shown = Desktop.Shown.size();
    Desktop.SetNextAnswer(mrNo);
    SetAssociation(Desktop, kProgram);
    EXPECT_EQ(Desktop.Shown.size(), shown + 1);
}

TEST_F(TShellHome, TheAssociationGoesQuietWithTheProgram) {
    if (!HasTool("update-mime-database") || !HasTool("gio")) GTEST_SKIP() << "needs shared-mime-info and gio";
    const std::string program = Home.File("bin/quillo");
    std::filesystem::create_directories(Home.File("bin"));
    std::filesystem::copy_file("/bin/true", program);
    Desktop.SetNextAnswer(mrYes);
    SetAssociation(Desktop, program);
    const std::string query = std::string("gio mime ") + kScheduleMimeType;
    EXPECT_EQ(Output(query).rfind("Default application for", 0), 0u) << Output(query);
    // The package removed: the desktop no longer offers an entry that cannot start.
    std::filesystem::remove(program);
    EXPECT_EQ(Output(query).rfind("No default applications", 0), 0u) << Output(query);

    // The type the user's association declares is the one the package installs.
    std::string installed = ReadFile(std::string(QUILLO_TEST_DATA) + "/../../data/quillo-mime.xml");
    const size_t spdx = installed.find("<!-- SPDX");
    ASSERT_NE(spdx, std::string::npos);
    installed.erase(spdx, installed.find('\n', spdx) + 1 - spdx);
    EXPECT_EQ(PackageXml(), installed);
}

TEST(MimeApps, OurDefaultIsSetAndRemovedWithoutTouchingAnotherChoice) {
    EXPECT_EQ(WithDefault("", "ours.desktop"),
              "[Default Applications]\napplication/x-quilloryplan-schedule=ours.desktop;\n");
    EXPECT_EQ(WithDefault("[Other]\nx=y", "e.desktop"),
              "[Other]\nx=y\n\n[Default Applications]\napplication/x-quilloryplan-schedule=e.desktop;\n");
    // Someone else's choice for our type is not ours to remove.
    const std::string theirs = "[Default Applications]\napplication/x-quilloryplan-schedule=editor.desktop;\n";
    EXPECT_EQ(WithDefault(theirs, ""), theirs);
    EXPECT_EQ(WithDefault("[Default Applications]\napplication/x-quilloryplan-schedule=QuilloryPlan_Schedule_File."
                          "desktop;editor.desktop;\n",
                          ""),
              theirs);
}

TEST(MimeApps, TheEntryOpensTheFileGivenAndOtherSectionsKeepOurTypesKeys) {
    for (const std::string program : {"/usr/bin/quillo", "/opt/My Apps/100%/quillo"}) {
        const std::string entry = AssociationEntryText(program);
        const size_t exec = entry.find("\nExec=") + 1;
        const std::string line = entry.substr(exec, entry.find('\n', exec) - exec);
        EXPECT_TRUE(line.ends_with(" %f")) << line; // the desktop's field code, not a literal percent sign
    }
    const std::string ours = std::string(kScheduleClassName) + ".desktop";
    const std::string before = "[Added Associations]\r\napplication/x-quilloryplan-schedule=viewer.desktop;\r\n"
                               "[Default Applications]\r\ntext/plain=ed.desktop;\r\n"
                               "[Removed Associations]\r\napplication/x-quilloryplan-schedule=old.desktop;\r\n";
    const std::string set = WithDefault(before, ours);
    std::string want = before;
    want.insert(want.find("text/plain"), std::string(kScheduleMimeType) + "=" + ours + ";\r\n");
    EXPECT_EQ(set, want);
    EXPECT_EQ(WithDefault(set, ours), set);
    EXPECT_EQ(WithDefault(set, ""), before);
}

// The default is the first entry of our type's line, however the line is spaced; taking our
// entry away touches no other byte, and no file appears where there was none.
TEST(MimeApps, TheDefaultIsTheFirstEntryAndRemovingTouchesNothingElse) {
    TTempDir config;
    TMimePaths paths;
    paths.ConfigHome = config.Path();
    EXPECT_TRUE(SetDefaultEntry(paths, false));
    EXPECT_FALSE(IsRegularFile(paths.MimeAppsFile()));
    WriteFile(paths.MimeAppsFile(), std::string("[Default Applications]\r\n") + kScheduleMimeType +
                                        " = editor.desktop;" + kScheduleClassName + ".desktop;\r\n");
    EXPECT_EQ(DefaultForScheduleType(paths), "editor.desktop");
    const std::string theirs = std::string("[Default Applications]\n") + kScheduleMimeType + "=editor.desktop\n";
    EXPECT_EQ(WithDefault(theirs, ""), theirs);
}

// Relative base folders are ignored; the defaults below the home stand in for them.
TEST_F(TShellHome, RelativeBaseFoldersAreIgnored) {
    setenv("XDG_CONFIG_HOME", "config", 1);
    setenv("XDG_DATA_HOME", "./data", 1);
    setenv("XDG_DATA_DIRS", "share:/usr/share::rel/x", 1);
    EXPECT_EQ(ConfigHome(), Home.File(".config"));
    EXPECT_EQ(DataHome(), Home.File(".local/share"));
    EXPECT_EQ(GetShellFolder(sfStartup), Home.File(".config/autostart/"));
    EXPECT_EQ(TMimePaths::FromEnvironment().DataDirs, std::vector<std::string>{"/usr/share"});
}

// The current desktop's own list comes first, in every config folder; the program is refused when
// another program is the default there, even though the plain list would take it.
TEST_F(TShellHome, TheCurrentDesktopsListDecidesTheDefault) {
    setenv("XDG_CONFIG_DIRS", (Home.File("etc") + ":relative").c_str(), 1);
    setenv("XDG_CURRENT_DESKTOP", "ubuntu:GNOME", 1);
    std::filesystem::create_directories(Home.File("etc"));
    const std::string key = std::string("[Default Applications]\n") + kScheduleMimeType + "=";
    const TMimePaths paths = TMimePaths::FromEnvironment();
    EXPECT_EQ(DefaultForScheduleType(paths), std::nullopt);
    WriteFile(Home.File("etc/mimeapps.list"), key + "system.desktop;\n");
    EXPECT_EQ(DefaultForScheduleType(paths), "system.desktop");
    WriteFile(Home.File("etc/gnome-mimeapps.list"), key + "desktop-wide.desktop;\n");
    EXPECT_EQ(DefaultForScheduleType(paths), "desktop-wide.desktop");
    WriteFile(Home.File("config/mimeapps.list"), key + "QuilloryPlan_Schedule_File.desktop;\n");
    EXPECT_EQ(DefaultForScheduleType(paths), "QuilloryPlan_Schedule_File.desktop");
    WriteFile(Home.File("config/gnome-mimeapps.list"), "[Added Associations]\n" + std::string(kScheduleMimeType) +
                                                           "=added.desktop;\n" + key + "editor.desktop;\n");
    EXPECT_EQ(DefaultForScheduleType(paths), "editor.desktop");

    const std::string before = ReadFile(Home.File("config/mimeapps.list"));
    Desktop.SetNextAnswer(mrYes);
    SetAssociation(Desktop, kProgram);
    EXPECT_EQ(Last(), "拡張子QLPには、既に他のプログラムが関連付けられています。");
    EXPECT_EQ(ReadFile(Home.File("config/mimeapps.list")), before);
    EXPECT_FALSE(IsRegularFile(paths.PackageFile()));
}
