// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/FormMain.h"
#include "base/Clock.h"
#include "base/FileNames.h"
#include "controls/ExHeader.h"
#include "controls/TreeList.h"
#include "core/TestTree.h"
#include "main/ChartView.h"
#include "model/ScheduleFormat.h"
#include "settings/IniFile.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace quillo;
using namespace quillo::test;

namespace {
const TDate kNow = D(2024, 5, 3) + 0.5; // 12:00:00

const char* const kPlan =
    "D\t2024\t5\t3\r\nA-\r\n{\r\nF\tWork\t\t+\r\n{\r\nF\tInner\t\t-\r\n{\r\n"
    "I\tdeep\t0\t-\t-\t-\t-\t-\t-\t0\t\r\n}\r\nI\tReport\t0\t2024\t5\t1\t2024\t5\t9\t0\t\r\n}\r\n}\r\n"
    "\r\n# Quillory Plan Schedule File (ver0.15)\r\n# 2024/05/03 11:00:00\r\n";

struct TWindow : ::testing::Test {
    TTempDir Dir;
    TScriptedDesktop Desktop;
    TFixedClock Clock{kNow};
    std::unique_ptr<TFormMain> Form;
    TWindow() { Form = std::make_unique<TFormMain>(Desktop, Clock, Dir.File("quillo.ini")); }
    std::string Plan(const std::string& name = "plan.qlp", const std::string& text = kPlan) {
        WriteFile(Dir.File(name), text);
        return Dir.File(name);
    }
    void Open(const std::string& path) {
        Desktop.SetNextFile(path);
        Form->FindAction("ActionFileOpen")->trigger();
    }
    std::string Caption() const { return Form->windowTitle().toStdString(); }
    std::string Status() const { return Form->StatusPanel(1)->text().toStdString(); }
    TTreeNode* Root() const { return Form->TreeList()->Items().GetFirstNode(); }
    // What the window shows of the document: Save enabled, the autosave switch's caption.
    bool Modified() const {
        Form->UpdateActions();
        return Form->FindAction("ActionFileSave")->isEnabled();
    }
    bool AutoSave() const {
        Form->UpdateActions();
        return Form->FindAction("ActionAutoSaveChk")->text() == QStringLiteral("自動保存を無効にする(&A)");
    }
};
} // namespace

TEST_F(TWindow, StartsEmptyAndOpensAFile) {
    EXPECT_EQ(Caption(), "Quillory Plan");
    EXPECT_FALSE(Form->FindAction("ActionFileSave")->isEnabled());
    EXPECT_FALSE(Form->FindAction("ActionFileClose")->isEnabled());
    Open(Plan());
    ASSERT_TRUE(Root());
    EXPECT_EQ(Caption(), "plan");
    EXPECT_EQ(Root()->Text(), "plan");
    EXPECT_FALSE(Modified()); // expanded folders in the file do not count as a change
    EXPECT_EQ(Status(), "自動保存：無効");
    EXPECT_TRUE(Form->TreeList()->isExpanded(Form->TreeList()->Model().IndexOf(Root()->GetFirstChild())));
    EXPECT_EQ(Desktop.Dialogs.back().Title, "予定表を開く");
    EXPECT_EQ(Desktop.Dialogs.back().Filter, "QuilloryPlan予定表(*.qlp)|*.qlp|すべてのファイル(*.*)|*.*");
    Form->FindAction("ActionFileClose")->trigger();
    EXPECT_EQ(Caption(), "Quillory Plan");
    EXPECT_FALSE(Root());
}

// Every bound key, pressed in the window, fires its own command and no other: bound where the
// window's keys reach it, and shared with no command (Qt would fire neither).
TEST_F(TWindow, EveryShortcutPressedFiresItsOwnCommand) {
    // A dated, linked to-do amid others, moved and a move undone: every command with a key is on.
    Open(Plan("keys.qlp",
              Tabs("D|2024|5|3\nA-\n{\nI|a|0|-|-|-|-|-|-|0|\nI|linked|0|2024|5|1|2024|5|9|0|%lb;http://x/%le;\n"
                   "I|b|0|-|-|-|-|-|-|0|\nI|c|0|-|-|-|-|-|-|0|\n}\n")));
    ASSERT_TRUE(Root());
    Form->TreeList()->SetSelected(Root()->Item(1));
    for (const char* name : {"ActionItemDown", "ActionItemUp", "ActionEditUndo"}) {
        Form->UpdateActions();
        Form->FindAction(name)->trigger();
    }
    Form->UpdateActions();
    Form->show();
    Form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
    int keys = 0;
    std::map<QAction*, int> fired;
    for (QAction* a : Form->findChildren<QAction*>()) {
        keys += int(a->shortcuts().size());
        QObject::disconnect(a, &QAction::triggered, nullptr, nullptr); // the key, not what it does
        QObject::connect(a, &QAction::triggered, Form.get(), [&fired, a] { ++fired[a]; });
    }
    int pressed = 0;
    std::set<std::string> off;
    for (QAction* a : Form->findChildren<QAction*>()) {
        if (!a->isEnabled()) {
            if (!a->shortcuts().isEmpty()) off.insert(a->objectName().toStdString());
            pressed += int(a->shortcuts().size()); // counted as left out on purpose below
            continue;
        }
        for (const QKeySequence& key : a->shortcuts()) {
            fired.clear();
            QTest::keySequence(Form.get(), key);
            EXPECT_EQ(fired, (std::map<QAction*, int>{{a, 1}}))
                << key.toString().toStdString() << " for " << a->objectName().toStdString();
            ++pressed;
        }
    }
    // None left out for being off, but the find's own keys, which wait for a find.
    const std::set<std::string> findKeys{"ActionFindNext", "ActionFindPrev", "ActionFindClose"};
    EXPECT_EQ(off, findKeys);
    EXPECT_EQ(pressed, keys);
}

TEST_F(TWindow, NewScheduleAndTheAutoSaveRefusal) {
    Form->FindAction("ActionFileNew")->trigger();
    EXPECT_EQ(Caption(), "新規予定表");
    EXPECT_EQ(Root()->SubItems()->Count(), 65);
    Form->FindAction("ActionAutoSaveChk")->trigger();
    ASSERT_EQ(Desktop.Shown.size(), 1u);
    EXPECT_EQ(Desktop.Shown[0].Text, "自動保存を有効にする前に、予定表を一度保存してください。");
    EXPECT_FALSE(AutoSave());
    EXPECT_TRUE(Modified());
    EXPECT_EQ(Status(), "自動保存：無効");
}

TEST_F(TWindow, SaveQuestionOnClose) {
    Open(Plan());
    Form->SetModified(true);
    EXPECT_EQ(Status(), "変更あり 12:00:00");
    Desktop.SetNextAnswer(mrCancel);
    Form->FindAction("ActionFileClose")->trigger();
    EXPECT_TRUE(Root()); // cancelled
    EXPECT_EQ(Desktop.Shown.back().Text, "「plan」は更新されています。保存しますか？");
    EXPECT_EQ(Desktop.Shown.back().Buttons, unsigned(mbYes | mbNo | mbCancel));
    Desktop.SetNextAnswer(mrNo);
    Form->FindAction("ActionFileClose")->trigger();
    EXPECT_FALSE(Root());
}

TEST_F(TWindow, CloseWithAutoSaveWritesWithoutAsking) {
    const std::string path = Plan();
    Open(path);
    Form->FindAction("ActionAutoSaveChk")->trigger();
    EXPECT_TRUE(AutoSave());
    EXPECT_EQ(Status(), "自動保存：有効");
    Form->FindAction("ActionFileClose")->trigger();
    EXPECT_TRUE(Desktop.Shown.empty());
    EXPECT_FALSE(Root());
    EXPECT_EQ(ReadFile(path).substr(0, 16), "D\t2024\t5\t3\r\nA+\r\n");
}

TEST_F(TWindow, YesWithAFailingSaveKeepsTheScheduleOpen) {
    std::filesystem::create_directories(Dir.File("no/such/folder"));
    Open(Plan("no/such/folder/plan.qlp"));
    std::filesystem::remove_all(Dir.File("no/such")); // the folder went while the schedule was open
    Form->SetModified(true);
    Desktop.SetNextAnswer(mrYes);
    Form->FindAction("ActionFileClose")->trigger();
    EXPECT_TRUE(Root());
    EXPECT_TRUE(Modified());
    EXPECT_EQ(Desktop.Shown.back().Text,
              Dir.File("no/such/folder/plan.qlp") + " の保存に失敗しました。\r\nフォルダが見つかりません。");
    EXPECT_EQ(Status(), "保存失敗 12:00:00");
    // With autosave on a failing save stops the window's close too.
    Form->FindAction("ActionAutoSaveChk")->trigger();
    ASSERT_TRUE(AutoSave());
    EXPECT_FALSE(Form->close());
    EXPECT_TRUE(Root());
}

TEST_F(TWindow, SaveAsToAFailingNameRestoresTheOldName) {
    const std::string path = Plan();
    Open(path);
    Desktop.SetNextFile(Dir.File("missing/other.qlp"));
    Form->FindAction("ActionFileSaveAs")->trigger();
    EXPECT_EQ(Caption(), "plan");
    EXPECT_EQ(Root()->Text(), "plan");
    EXPECT_TRUE(Modified());
    EXPECT_EQ(Desktop.Dialogs.back().FileName, "plan");
    EXPECT_TRUE(Desktop.Dialogs.back().Save);
    Form->FindAction("ActionFileSave")->trigger(); // still to the old name
    EXPECT_NE(ReadFile(path).find("# 2024/05/03 12:00:00\r\n"), std::string::npos);
    Form->SetModified(true);
    Desktop.SetNextFile(Dir.File("other.qlp"));
    Form->FindAction("ActionFileSaveAs")->trigger();
    EXPECT_EQ(Caption(), "other");
    EXPECT_FALSE(Modified());
    EXPECT_EQ(Status(), "保存完了 12:00:00");
    EXPECT_TRUE(IsRegularFile(Dir.File("other.qlp")));
}

TEST_F(TWindow, TimerWritesEveryTenTicksOnlyWhenModifiedWithAutoSave) {
    std::string text = kPlan;
    text.replace(text.find("A-"), 2, "A+");
    const std::string path = Plan("plan.qlp", text);
    Open(path);
    ASSERT_TRUE(AutoSave());
    const std::string before = ReadFile(path);
    for (int i = 0; i < 10; ++i)
        Form->Timer2Timer();
    EXPECT_EQ(ReadFile(path), before); // nothing changed, nothing written
    Form->Timer2Timer();               // the eleventh tick starts a new count
    Form->SetModified(true);
    for (int i = 0; i < 8; ++i)
        Form->Timer2Timer();
    EXPECT_EQ(ReadFile(path), before);
    Form->Timer2Timer();
    EXPECT_FALSE(Modified());
    EXPECT_EQ(Status(), "自動保存完了 12:00:00");
    EXPECT_NE(ReadFile(path), before);
    // Modified but autosave off: the ten-minute mark writes nothing.
    Form->FindAction("ActionAutoSaveChk")->trigger();
    ASSERT_FALSE(AutoSave());
    for (int i = 0; i < 10; ++i)
        Form->Timer2Timer();
    EXPECT_TRUE(Modified());
    EXPECT_TRUE(Desktop.Shown.empty());
}

TEST_F(TWindow, DateChangeNoticeOnce) {
    Form->Timer2Timer();
    EXPECT_TRUE(Desktop.Shown.empty());
    Clock.Advance(1);
    Form->Timer2Timer();
    Form->Timer2Timer();
    ASSERT_EQ(Desktop.Shown.size(), 1u);
    EXPECT_EQ(Desktop.Shown[0].Type, mtInformation);
}

TEST_F(TWindow, BadLineAbortOrKeep) {
    const std::string bad = Plan("bad.qlp", "{\r\nF\tok\t\t-\r\nF\r\n}\r\n# Quillory Plan Schedule File (ver0.15)\r\n");
    Desktop.SetNextAnswer(mrAbort);
    Open(bad);
    ASSERT_EQ(Desktop.Shown.size(), 2u);
    EXPECT_EQ(Desktop.Shown[0].Text, bad + "\r\n読み込み中にエラーが発生しました。\r\n\r\nLine3 : 不正なデータ行");
    EXPECT_EQ(Desktop.Shown[0].Buttons, unsigned(mbAbort));
    EXPECT_EQ(Desktop.Shown[1].Text, bad + "\r\n読み込みは中止されました。");
    EXPECT_FALSE(Root());
    EXPECT_EQ(Caption(), "Quillory Plan");

    Open(bad); // the box closed without choosing: keep what was read
    ASSERT_TRUE(Root());
    EXPECT_EQ(Root()->Count(), 1);
    EXPECT_FALSE(Modified());
    Open(Dir.File("gone.qlp"));
    EXPECT_EQ(Desktop.Shown.back().Text, Dir.File("gone.qlp") + "\r\nファイルのオープン処理に失敗しました。");
    EXPECT_TRUE(Root()); // a file that cannot be read leaves the schedule open
}

TEST_F(TWindow, UserExpandMarksModified) {
    Open(Plan());
    TTreeNode* inner = Root()->GetFirstChild()->GetFirstChild();
    Form->TreeList()->ToggleExpanded(inner);
    EXPECT_TRUE(inner->Expanded());
    EXPECT_TRUE(Modified());
    EXPECT_EQ(inner->SubItems()->Text(0), "↓");
}

TEST_F(TWindow, CloseRequestStoresLastEditEvenWhenCancelled) {
    const std::string path = Plan();
    Open(path);
    Form->SetModified(true);
    Desktop.SetNextAnswer(mrCancel);
    EXPECT_FALSE(Form->close());
    EXPECT_EQ(TIniFile(Dir.File("quillo.ini")).ReadString("Edit", "FileName", ""), path);
    Desktop.SetNextAnswer(mrNo);
    EXPECT_TRUE(Form->close());
    EXPECT_FALSE(Root());
}

TEST_F(TWindow, DeepSchedulesOpenShownOnlyToADepthQtSurvives) {
    Form->resize(800, 600);
    Form->show();
    for (int depth : {30000, 1000000}) {
        std::string text = "D\t2024\t5\t3\r\n";
        text.reserve(size_t(depth) * 12);
        for (int i = 0; i < depth; ++i)
            text += "{\r\nF\tf\t\t+\r\n";
        Open(Plan("deep.qlp", text));
        ASSERT_TRUE(Root());
        EXPECT_EQ(Form->TreeList()->Items().Count(), depth + 1);
        Form->TreeList()->viewport()->grab(); // lays out and paints every open row
        TTreeNode* last = Root();
        while (last->Level() < TTreeList::kMaxShownDepth)
            last = last->GetFirstChild();
        TTreeList* list = Form->TreeList();
        EXPECT_TRUE(list->isExpanded(list->Model().IndexOf(last->Parent())));
        EXPECT_FALSE(list->isExpanded(list->Model().IndexOf(last)));
        EXPECT_TRUE(last->Expanded()); // the file's state is kept, only the view stops
        list->SetSelected(last);
        list->scrollTo(list->Model().IndexOf(last));
        list->viewport()->grab();
        EXPECT_TRUE(Form->StatusPanel(0)->text().startsWith(QString::fromUtf8("階層が深すぎるため")));
        Form->TreeList()->ToggleExpanded(last); // opening deeper by hand is refused too
        EXPECT_FALSE(Form->TreeList()->isExpanded(Form->TreeList()->Model().IndexOf(last)));
        EXPECT_FALSE(Modified());
    }
}

TEST_F(TWindow, AnIdleWindowSleeps) {
    Open(Plan());
    Form->show();
    QTest::qWait(400); // let the first layout, paints and the check of the window's place settle
    int wakeUps = 0;
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake, Form.get(),
                     [&] { ++wakeUps; });
    QEventLoop idle;
    QTimer::singleShot(1000, &idle, &QEventLoop::quit);
    idle.exec();
    EXPECT_LE(wakeUps, 1) << "only the timer that ends the wait may wake the loop";
}

TEST(NewSchedule, TheFirstToDoIsInSightAtOnce) {
    TScriptedDesktop desktop;
    TFixedClock clock(D(2024, 5, 3) + 0.5);
    TFormMain form(desktop, clock, "");
    form.show();
    form.Execute("ActionFileNew");
    TTreeNode* root = form.TreeList()->Items().GetFirstNode();
    TTreeNode* node = form.NewToDo(root, "first", D(2024, 5, 3), false);
    ASSERT_TRUE(node);
    EXPECT_TRUE(form.TreeList()->isExpanded(form.TreeList()->Model().IndexOf(root)));
    form.SetModified(false);
}

TEST_F(TWindow, HelpOpensTheDocumentBesideTheProgramAndTheAboutBoxShows) {
    Form->FindAction("ActionHelp")->trigger();
    ASSERT_EQ(Desktop.Opened.size(), 1u);
    EXPECT_EQ(Desktop.Opened[0].substr(Desktop.Opened[0].size() - 11), "/readme.htm");
    std::string title;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        title = box ? box->windowTitle().toStdString() : "";
        if (box) box->close();
    });
    Form->FindAction("ActionVerDlg")->trigger();
    EXPECT_EQ(title, "バージョン情報");
}

// The parts meet in the frame: a click on a day of the chart's header opens that day's window.
TEST_F(TWindow, AClickOnAHeaderDayOpensItsSchedule) {
    Open(Plan());
    Form->resize(1400, 500);
    Form->show();
    QApplication::processEvents();
    TExHeader* h = Form->Header();
    const TExSection* day = h->Sections().Items(TChartView::kFirstDaySection + 12);
    std::string shown;
    QTimer::singleShot(0, [&] {
        QWidget* window = QApplication::activeModalWidget();
        shown = window ? window->windowTitle().toStdString() : "";
        if (window) window->close();
    });
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, QPoint(day->Left() + 8 - h->offset(), 5));
    EXPECT_EQ(shown, "5日後 - 2024/05/08(水)の予定");
    EXPECT_EQ(Form->SelectedDate(), D(2024, 5, 8));
}
