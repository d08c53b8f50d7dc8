// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up and shutdown of the main window with a real settings folder.
#include "base/Clock.h"
#include "base/FileNames.h"
#include "controls/ExHeader.h"
#include "core/TestTree.h"
#include "main/FormMain.h"
#include "settings/IniFile.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <gtest/gtest.h>

using namespace quillo;
using namespace quillo::test;

namespace {
const TDate kToday = D(2024, 5, 3);
const char* const kPlan = "D\t2024\t5\t3\r\nA-\r\n{\r\nF\tWork\t\t+\r\n}\r\n";

struct TStart : ::testing::Test {
    TTempDir Dir;
    TScriptedDesktop Desktop;
    TFixedClock Clock{kToday + 0.5};
    std::unique_ptr<TFormMain> Form;
    std::string Ini() const { return Dir.File("quillo.ini"); }
    std::string Value(const char* section, const char* key) const {
        return TIniFile(Ini()).ReadString(section, key, "<none>");
    }
    void Start(const std::vector<std::string>& args, const std::string& ini = "") {
        Form = std::make_unique<TFormMain>(Desktop, Clock, ini.empty() ? Ini() : ini);
        Form->FormCreate(args);
    }
    int Width(int section) const { return Form->Header()->Sections().Items(section)->Width(); }
    TTreeNode* Root() const { return Form->Document().Root(); }
};
} // namespace

TEST_F(TStart, FirstStartWritesCompleteFilesAndRunsWithThem) {
    Start({});
    EXPECT_EQ(Value("DateCount", "HolidayLv"), "0");
    EXPECT_EQ(Value("Header", "Section3"), "72");
    EXPECT_EQ(Value("Header", "Section4"), "16");
    EXPECT_EQ(Value("Header", "ChartDate"), "-7");
    EXPECT_EQ(Value("PropForm", "PosX"), "-1");
    EXPECT_EQ(Value("PropForm", "PosY"), "-1");
    EXPECT_EQ(Value("Holidays", "Sun"), "2");
    EXPECT_EQ(Value("MainForm", "Maximized"), "0");
    EXPECT_EQ(Value("Edit", "FileName"), "<none>"); // only a close request writes it
    EXPECT_TRUE(IsRegularFile(Dir.File("quillo.hld")));
    EXPECT_EQ(ReadFile(Dir.File("quillo.hld")), "");
    EXPECT_EQ(Form->windowTitle().toStdString(), "新規予定表");
    EXPECT_EQ(Width(4), 16);
    EXPECT_EQ(Form->Calendar().HolidayLv, 0);
}

TEST_F(TStart, StoredValuesAreAppliedWithinEachSectionsLimits) {
    WriteFile(Ini(), "[Header]\r\nSection0=50\r\nChartDate=3\r\n[DateCount]\r\nAlertCount=2\r\n");
    Start({});
    EXPECT_EQ(Width(0), 200); // the name column's minimum
    EXPECT_EQ(Width(3), 80);  // missing keys: the store defaults
    EXPECT_EQ(Width(4), 25);
    EXPECT_EQ(Width(63), 25);
    EXPECT_EQ(Form->Chart().ChartDate(), kToday + 3);
    EXPECT_EQ(Form->Calendar().AlertCount, 2);
    EXPECT_EQ(Form->Calendar().HolidayLv, 2);
    for (int i = 0; i < 13; ++i)
        Form->FindAction("ActionChartPrev1")->trigger();
    EXPECT_TRUE(Form->close());
    EXPECT_EQ(Value("Header", "ChartDate"), "-10");
    EXPECT_EQ(Value("Header", "Section0"), "200");

    WriteFile(Ini(), "[Header]\r\nSection4=100\r\n");
    Start({});
    EXPECT_EQ(Width(4), 50);
    EXPECT_EQ(Width(40), 50);
}

TEST_F(TStart, ClosingMaximizedKeepsTheNormalPlacement) {
    WriteFile(Ini(), "[MainForm]\r\nPosX=10\r\nPosY=20\r\nWidth=700\r\nHeight=500\r\n");
    Start({});
    EXPECT_EQ(Form->geometry(), QRect(10, 20, 700, 500));
    Form->show();
    Form->move(30, 40); // moved, then maximized: the file keeps what it had
    Form->setWindowState(Qt::WindowMaximized);
    EXPECT_TRUE(Form->close());
    EXPECT_EQ(Value("MainForm", "Maximized"), "1");
    EXPECT_EQ(Value("MainForm", "PosX"), "10");
    EXPECT_EQ(Value("MainForm", "Width"), "700");
    Start({});
    EXPECT_TRUE(Form->windowState() & Qt::WindowMaximized);
    Form->setWindowState(Qt::WindowNoState);
    EXPECT_EQ(Form->geometry(), QRect(10, 20, 700, 500));
    // A normal close stores exactly what the next start restores.
    Form->setGeometry(33, 44, 655, 377);
    EXPECT_TRUE(Form->close());
    Start({});
    EXPECT_EQ(Form->geometry(), QRect(33, 44, 655, 377));
    EXPECT_FALSE(Form->windowState() & Qt::WindowMaximized);
}

TEST_F(TStart, TheCommandLineDecidesWhatOpens) {
    WriteFile(Dir.File("plan.qlp"), kPlan);
    Start({"-t"}); // a switch alone: nothing opens, nothing is made
    EXPECT_FALSE(Root());
    EXPECT_FALSE(Form->FindAction("ActionFileClose")->isEnabled());
    EXPECT_TRUE(Form->windowState() & Qt::WindowMinimized);

    Start({"/T", Dir.File("plan.qlp")});
    ASSERT_TRUE(Root());
    EXPECT_EQ(Form->Document().Title, "plan");
    EXPECT_TRUE(Form->windowState() & Qt::WindowMinimized);

    Start({Dir.File("missing.qlp")});
    EXPECT_FALSE(Root());
    EXPECT_EQ(Form->windowTitle().toStdString(), "Quillory Plan");
    EXPECT_TRUE(Desktop.Shown.empty());

    WriteFile(Dir.File("notes.qlp"), "not a schedule at all\n");
    Start({"-t", Dir.File("notes.qlp")}); // shown, and the window starts with no schedule, not in the tray
    EXPECT_FALSE(Root());
    ASSERT_EQ(Desktop.Shown.size(), 1u);
    EXPECT_EQ(Desktop.Shown[0].Text, Dir.File("notes.qlp") + "\r\n予定表ファイルではありません。");
    EXPECT_FALSE(Form->windowState() & Qt::WindowMinimized);
}

TEST_F(TStart, TheLastScheduleOpensOrANewOneTakesItsPlace) {
    WriteFile(Dir.File("plan.qlp"), kPlan);
    Start({});
    Form->Run([&] { Form->Files().OpenNamed(Dir.File("plan.qlp")); });
    EXPECT_TRUE(Form->close()); // stores LastEdit
    Start({});
    ASSERT_TRUE(Root());
    EXPECT_EQ(Form->Document().FileName, Dir.File("plan.qlp"));
    EXPECT_TRUE(Form->close());
    std::remove(Dir.File("plan.qlp").c_str());
    Start({});
    ASSERT_TRUE(Root());
    EXPECT_EQ(Form->windowTitle().toStdString(), "新規予定表");
    EXPECT_TRUE(Desktop.Shown.empty());
}

TEST_F(TStart, UnwritableSettingsAreShownAndNeverKeepTheProgramFromEnding) {
    const std::string ini = Dir.File("gone/quillo.ini"); // a folder that is not there
    Start({}, ini);
    ASSERT_EQ(Desktop.Shown.size(), 1u); // the first start could not write: shown, nothing opened
    EXPECT_EQ(Desktop.Shown[0].Text, ini + " に書き込めません");
    EXPECT_FALSE(Root());
    Form->FindAction("ActionFileNew")->trigger(); // still usable
    EXPECT_TRUE(Root());
    EXPECT_TRUE(Form->close());
    ASSERT_EQ(Desktop.Shown.size(), 2u);
    EXPECT_EQ(Desktop.Shown[1].Text, ini + " に書き込めません");
}

TEST_F(TStart, TheStartUpEntryNeedsASavedScheduleAndOpensItInTheTray) {
    setenv("XDG_CONFIG_HOME", Dir.File("xdg").c_str(), 1);
    Start({});
    Form->UpdateActions();
    QAction* startUp = Form->FindAction("ActionSetStartUp");
    EXPECT_FALSE(startUp->isEnabled()); // a new schedule has no file yet
    Desktop.SetNextFile(Dir.File("my plan.qlp"));
    Form->FindAction("ActionFileSaveAs")->trigger();
    Form->UpdateActions();
    ASSERT_TRUE(startUp->isEnabled());
    Desktop.SetNextAnswer(mrYes);
    startUp->trigger();
    const std::string entry = ReadFile(Dir.File("xdg/autostart/QuilloryPlan.desktop"));
    EXPECT_NE(entry.find(" -t \"" + Dir.File("my plan.qlp") + "\"\n"), std::string::npos) << entry;
    EXPECT_EQ(Desktop.Shown.front().Text, "「my "
                                          "plan」のショートカットをスタートアップに登録しますか？\r\n（既に登録されてい"
                                          "るショートカットは上書きされます）");
    // The settings menu holds the two submenus between the autosave switch and the holidays.
    QStringList layout;
    for (QMenu* menu : Form->findChildren<QMenu*>())
        if (menu->title() == QStringLiteral("設定(&S)"))
            for (QAction* a : menu->actions())
                layout << (a->isSeparator() ? QStringLiteral("-") : a->menu() ? a->menu()->title() : a->objectName());
    EXPECT_EQ(layout,
              (QStringList{"ActionAutoSaveChk", "-", "ショートカット(&S)", "関連付け(R)", "-", "ActionSetHolidays"}));
}
