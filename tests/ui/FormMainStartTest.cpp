// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up and shutdown of the main window with a real settings folder.
#include "base/Clock.h"
#include "base/FileNames.h"
#include "base/SafeFile.h"
#include "controls/ExHeader.h"
#include "controls/TreeList.h"
#include "core/TestTree.h"
#include "dialogs/FormHolidays.h"
#include "main/FormMain.h"
#include "settings/IniFile.h"

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
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
    TTreeNode* Root() const { return Form->TreeList()->Items().GetFirstNode(); }
};
} // namespace

// The frame's side of a first start: the files are written, then a new schedule shows.
TEST_F(TStart, FirstStartWritesTheFilesThenShowsANewSchedule) {
    Start({});
    EXPECT_EQ(Value("Header", "Section4"), "16");
    EXPECT_TRUE(IsRegularFile(Dir.File("quillo.hld")));
    EXPECT_EQ(Form->windowTitle().toStdString(), "新規予定表");
    EXPECT_EQ(Width(4), 16);
}

TEST_F(TStart, TheCommandLineDecidesWhatOpens) {
    WriteFile(Dir.File("plan.qlp"), kPlan);
    Start({"-t"}); // a switch alone: nothing opens, nothing is made
    EXPECT_FALSE(Root());
    EXPECT_FALSE(Form->FindAction("ActionFileClose")->isEnabled());
    EXPECT_TRUE(Form->windowState() & Qt::WindowMinimized);

    Start({"/T", Dir.File("plan.qlp")});
    ASSERT_TRUE(Root());
    EXPECT_EQ(Form->windowTitle().toStdString(), "plan");
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
    Desktop.SetNextFile(Dir.File("plan.qlp"));
    Form->Execute("ActionFileOpen");
    EXPECT_TRUE(Form->close()); // stores LastEdit
    Start({});
    ASSERT_TRUE(Root());
    EXPECT_EQ(Form->windowTitle().toStdString(), "plan");
    EXPECT_EQ(Value("Edit", "FileName"), Dir.File("plan.qlp"));
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
    // The settings menu holds the two submenus between the autosave switch and the holidays, and
    // the notifications' after them.
    QStringList layout;
    for (QMenu* menu : Form->findChildren<QMenu*>())
        if (menu->title() == QStringLiteral("設定(&S)"))
            for (QAction* a : menu->actions())
                layout << (a->isSeparator() ? QStringLiteral("-") : a->menu() ? a->menu()->title() : a->objectName());
    EXPECT_EQ(layout, (QStringList{"ActionAutoSaveChk", "-", "ショートカット(&S)", "関連付け(R)", "-",
                                   "ActionSetHolidays", "通知(&N)"}));
}

// Holidays copied from another machine, or settings deleted to reset them: the first start keeps
// the dates the holidays file already holds.
TEST_F(TStart, AFirstStartKeepsAHolidaysFileThatStandsAlone) {
    WriteFile(Dir.File("quillo.hld"), "2024\t5\t9\t2\r\n");
    Start({});
    EXPECT_TRUE(IsRegularFile(Ini()));
    EXPECT_EQ(ReadFile(Dir.File("quillo.hld")), "2024\t5\t9\t2\r\n");
    std::vector<std::string> listed;
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<TFormHolidays*>(QApplication::activeModalWidget());
        for (int i = 0; i < d->Lists[2]->count(); ++i)
            listed.push_back(d->Lists[2]->item(i)->text().toStdString());
        d->OkButton->click();
    });
    Form->FindAction("ActionSetHolidays")->trigger();
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].substr(0, 10), "2024/05/09");
    EXPECT_TRUE(Form->close());
    EXPECT_EQ(ReadFile(Dir.File("quillo.hld")), "2024\t05\t09\t2\r\n");

    // One that cannot be read is said so and never replaced by the nothing that was read.
    std::filesystem::resize_file(Dir.File("quillo.hld"), kMaxReadBytes + 1);
    Start({});
    ASSERT_EQ(Desktop.Shown.size(), 1u);
    EXPECT_EQ(Desktop.Shown[0].Text, Dir.File("quillo.hld") + "\r\n" + kTooLargeText);
    EXPECT_TRUE(Form->close());
    EXPECT_EQ(std::filesystem::file_size(Dir.File("quillo.hld")), kMaxReadBytes + 1);
}
