// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/RegManager.h"
#include "base/Exceptions.h"
#include "base/FileNames.h"
#include "core/TestTree.h"
#include "model/Calendar.h"
#include "settings/IniFile.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

using namespace quillo;
using namespace quillo::test;

namespace {
struct TStore : ::testing::Test {
    TTempDir Dir;
    TScriptedDesktop Desktop;
    TRegManager Store{&Desktop};
    TStore() {
        AddMainSettingsItems(Store.RegItems);
        Store.IniFileName = Dir.File("quillo.ini");
    }
};

const char* const kWindowsIni = "; written on Windows\r\n"
                                "[MAINFORM]\r\n"
                                "posx=10\r\n"
                                "PosY = 20\r\n"
                                "\r\n"
                                "[Header]\r\n"
                                "section0=\"400\"\r\n"
                                "; keep me\r\n"
                                "[Plugins]\r\n"
                                "Other=x\\y\r\n"
                                "; trailing comment\r\n";
} // namespace

TEST_F(TStore, LookupIgnoresLetterCase) {
    Store.ItemFiler("section0").WriteInteger(420);
    EXPECT_EQ(Store.ItemFiler("SECTION0").ReadInteger(), 420);
    EXPECT_EQ(Store.ItemFiler("Section0").Item()->Name, "Section0");
    EXPECT_TRUE(Desktop.Shown.empty());
}

TEST_F(TStore, UnknownNameShowsTheBoxAndDoesNothing) {
    TRegFiler& f = Store.ItemFiler("NoSuchItem");
    ASSERT_EQ(Desktop.Shown.size(), 1u);
    EXPECT_EQ(Desktop.Shown[0].Text, "[' NoSuchItem '] is invalid.");
    EXPECT_EQ(Desktop.Shown[0].Type, mtError);
    EXPECT_EQ(Desktop.Shown[0].Buttons, unsigned(mbOK));
    EXPECT_EQ(f.ReadInteger(), 0);
    EXPECT_FALSE(f.ReadBool());
    EXPECT_EQ(f.ReadString(), "");
    f.WriteInteger(5);
    EXPECT_FALSE(IsRegularFile(Store.IniFileName));
}

TEST_F(TStore, TypedReads) {
    EXPECT_EQ(Store.ItemFiler("PropX").ReadInteger(), -1); // missing key: the default
    EXPECT_EQ(Store.ItemFiler("FormX").ReadInteger(), 0);  // empty default
    Store.ItemFiler("FormX").WriteString("abc");
    EXPECT_EQ(Store.ItemFiler("FormX").ReadInteger(), 0);
    Store.ItemFiler("FormX").WriteString("99999999999");
    EXPECT_EQ(Store.ItemFiler("FormX").ReadInteger(), 0);
    Store.ItemFiler("FormX").WriteInteger(-123);
    EXPECT_EQ(Store.ItemFiler("FormX").ReadInteger(), -123);
}

TEST_F(TStore, BoolRules) {
    Store.RegItems.Add("Flag", "Test", "Flag", "yes");
    EXPECT_TRUE(Store.ItemFiler("Flag").ReadBool()); // missing key, default "yes"
    Store.ItemFiler("Flag").WriteString("TRUE");
    EXPECT_FALSE(Store.ItemFiler("Flag").ReadBool());
    Store.ItemFiler("Flag").WriteString("256"); // lowest 8 bits all zero
    EXPECT_FALSE(Store.ItemFiler("Flag").ReadBool());
    Store.ItemFiler("Flag").WriteString("257");
    EXPECT_TRUE(Store.ItemFiler("Flag").ReadBool());
    Store.ItemFiler("Flag").WriteBool(true);
    EXPECT_EQ(Store.ItemFiler("Flag").ReadString(), "1");
    EXPECT_EQ(ReadFile(Store.IniFileName), "[Test]\r\nFlag=1\r\n");
    EXPECT_FALSE(Store.ItemFiler("Maximized").ReadBool());
}

TEST_F(TStore, NoFileNameShowsTheBox) {
    Store.IniFileName.clear();
    EXPECT_EQ(Store.ItemFiler("PropX").ReadInteger(), -1);
    Store.ItemFiler("PropX").WriteInteger(3);
    ASSERT_EQ(Desktop.Shown.size(), 2u);
    EXPECT_EQ(Desktop.Shown[0].Text, "can not create Inifile object.");
}

TEST_F(TStore, NothingIsCached) {
    Store.ItemFiler("AlertCount").WriteInteger(3);
    WriteFile(Store.IniFileName, "[DateCount]\r\nAlertCount=5\r\n"); // changed behind our back
    EXPECT_EQ(Store.ItemFiler("AlertCount").ReadInteger(), 5);
}

TEST_F(TStore, WindowsFileIsReadAndOnlyTheWrittenLineChanges) {
    WriteFile(Store.IniFileName, kWindowsIni);
    EXPECT_EQ(Store.ItemFiler("FormX").ReadInteger(), 10);
    EXPECT_EQ(Store.ItemFiler("FormY").ReadInteger(), 20);
    EXPECT_EQ(Store.ItemFiler("Section0").ReadInteger(), 400); // quotes stripped
    EXPECT_EQ(Store.ItemFiler("Section1").ReadInteger(), 100);
    Store.ItemFiler("FormY").WriteInteger(30);
    std::string want = kWindowsIni;
    want.replace(want.find("PosY = 20"), 9, "PosY=30");
    EXPECT_EQ(ReadFile(Store.IniFileName), want);
    Store.ItemFiler("Section1").WriteInteger(150); // a new key joins its own section
    EXPECT_EQ(TIniFile::ReadFromText(ReadFile(Store.IniFileName), "HEADER", "SECTION1", ""), "150");
    EXPECT_NE(ReadFile(Store.IniFileName).find("; trailing comment\r\n"), std::string::npos);
    EXPECT_NE(ReadFile(Store.IniFileName).find("Other=x\\y\r\n"), std::string::npos);
}

// A file edited by hand or merged by a sync tool may hold a section or a key twice. Reading and
// writing take the same one, the first as Windows' profile functions do, so a changed setting
// survives the next start; the other copies stay as they are.
TEST_F(TStore, ADuplicatedSectionOrKeyIsReadAndWrittenAtTheSamePlace) {
    const std::string ini = "[MainForm]\r\nPosX=1\r\nposx=2\r\n[Header]\r\nSection0=50\r\n"
                            "[mainform]\r\nPosX=3\r\nPosY=4\r\n";
    WriteFile(Store.IniFileName, ini);
    EXPECT_EQ(Store.ItemFiler("FormX").ReadInteger(), 1);
    EXPECT_EQ(Store.ItemFiler("FormY").ReadInteger(), 0); // only in the second copy: not read
    Store.ItemFiler("FormX").WriteInteger(7);
    Store.ItemFiler("FormY").WriteInteger(8);
    EXPECT_EQ(Store.ItemFiler("FormX").ReadInteger(), 7);
    EXPECT_EQ(Store.ItemFiler("FormY").ReadInteger(), 8);
    EXPECT_EQ(ReadFile(Store.IniFileName), "[MainForm]\r\nPosX=7\r\nposx=2\r\nPosY=8\r\n[Header]\r\nSection0=50\r\n"
                                           "[mainform]\r\nPosX=3\r\nPosY=4\r\n");
}

TEST(IniFile, UpdateTextPlacesNewKeysAndSections) {
    EXPECT_EQ(TIniFile::UpdateText("", "A", "k", "v"), "[A]\r\nk=v\r\n");
    EXPECT_EQ(TIniFile::ReadFromText("[A]\r\nk=\"x'\r\n", "A", "k", ""), "\"x'"); // only a matching pair is stripped
    EXPECT_EQ(TIniFile::UpdateText("[A]\r\nx=1\r\n\r\n[B]\r\n", "a", "k", "v"), "[A]\r\nx=1\r\nk=v\r\n\r\n[B]\r\n");
    EXPECT_EQ(TIniFile::UpdateText("[A]\nK=1\n", "A", "k", "2"), "[A]\r\nK=2\r\n");
    EXPECT_EQ(TIniFile::UpdateText("[A]\r\n;k=1\r\n", "A", "k", "2"), "[A]\r\n;k=1\r\nk=2\r\n");
    EXPECT_EQ(TIniFile::UpdateText("", "A", "k", "line1\r\nline2"), "[A]\r\nk=line1\r\n");
    std::string longValue(3000, 'v');
    std::string text = TIniFile::UpdateText("", "A", "k", longValue);
    EXPECT_EQ(TIniFile::ReadFromText(text, "A", "k", "").size(), kMaxIniValue);
}

TEST_F(TStore, ReadOnlyFolderReportsThePathAndKeepsTheFile) {
    WriteFile(Store.IniFileName, kWindowsIni);
    int rc = RunInReadOnlyFolder(Dir.Path(), [&] {
        try {
            Store.ItemFiler("FormX").WriteInteger(1);
        } catch (const EQuilloError& e) {
            return std::string(e.what()) == Store.IniFileName + " に書き込めません" ? 0 : 2;
        }
        return 1;
    });
    if (rc == kCannotDropRights) GTEST_SKIP() << "cannot make a folder read-only for this process";
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(ReadFile(Store.IniFileName), kWindowsIni);
}

TEST_F(TStore, CalendarSettings) {
    TCalendar cal;
    int offset = 0;
    ReadCalendarSettings(Store, cal, offset); // no file: first-start values
    EXPECT_EQ(offset, -7);
    EXPECT_EQ(cal.HolidayLv, 0);
    EXPECT_EQ(cal.WeekdayLevel(1), 2);
    EXPECT_FALSE(IsRegularFile(Store.IniFileName)); // reading never writes

    WriteFile(Store.IniFileName, "[Holidays]\r\nSat=2\r\n[Header]\r\nChartDate=3\r\n");
    ReadCalendarSettings(Store, cal, offset);
    EXPECT_EQ(offset, 3);
    EXPECT_EQ(cal.WeekdayLevel(7), 2);
    EXPECT_EQ(cal.WeekdayLevel(1), 2);
    EXPECT_EQ(cal.HolidayLv, 2); // the store default for an existing file without the key
}
