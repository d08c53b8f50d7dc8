// SPDX-License-Identifier: GPL-3.0-or-later
// Copy, paste, export and import from the window, with the clipboard and dialogs scripted.
#include "base/Clock.h"
#include "base/Cp932.h"
#include "controls/TreeList.h"
#include "core/TestTree.h"
#include "main/FormMain.h"
#include "model/SchItem.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

using namespace quillo;
using namespace quillo::test;

namespace {
struct TTransferWindow : ::testing::Test {
    TTempDir Dir;
    TScriptedDesktop Desktop;
    TFixedClock Clock{D(2024, 5, 3) + 0.5};
    std::unique_ptr<TFormMain> Form;
    TTransferWindow() {
        Form = std::make_unique<TFormMain>(Desktop, Clock, "");
        WriteFile(Dir.File("plan.qlp"),
                  Tabs("D|2024|5|3\nA-\n{\nF|Work||+\n{\nI|a/b:c.d|1|-|-|-|-|-|-|0|\nI|Mail|1|-|-|-|-|-|-|0|\n}\n}\n"));
        Form->Run([&] { Form->Files().OpenNamed(Dir.File("plan.qlp")); });
    }
    TTreeNode* Work() const { return Form->Document().Root()->GetFirstChild(); }
    void Trigger(const char* name, TTreeNode* selected) {
        Form->TreeList()->SetSelected(selected);
        Form->UpdateActions();
        Form->FindAction(name)->trigger();
    }
};
} // namespace

TEST_F(TTransferWindow, CopyPasteExportAndImportThroughTheDesktop) {
    Trigger("ActionItemCopy", Form->Document().Root()); // nothing on the root
    EXPECT_TRUE(Desktop.Clipboard.empty());
    Trigger("ActionItemCopy", Work()->Item(1));
    EXPECT_EQ(Desktop.Clipboard, "D\t2024\t5\t3\r\n{\r\nI\tMail\t1\t-\t-\t-\t-\t-\t-\t0\t\r\n}\r\n\r\n"
                                 "# Quillory Plan Clipped Data (ver0.15)\r\n# 2024/05/03 12:00:00\r\n");
    Desktop.SetNextAnswer(mrYes); // clear the checks
    Trigger("ActionItemPaste", Work()->Item(0));
    ASSERT_EQ(Work()->Count(), 3);
    EXPECT_EQ(Work()->Item(1)->Text(), "Mail");
    EXPECT_FALSE(Work()->Item(1)->Data()->Checked);
    EXPECT_EQ(Form->TreeList()->Selected(), Work()->Item(1));
    EXPECT_EQ(Desktop.Shown.back().Text, "貼り付ける項目のチェックを未完了に戻しますか？");
    EXPECT_TRUE(Form->Document().Modified);

    Desktop.Clipboard = "not a schedule 😀";
    Trigger("ActionItemPaste", Work());
    EXPECT_EQ(Desktop.Shown.back().Text, "クリップボードからの項目の読み込み中にエラーが発生しました。");
    EXPECT_EQ(Form->Document().Root()->Count(), 1); // no "Temp" left behind

    Desktop.SetNextFile(Dir.File("abcd.qlp"));
    Trigger("ActionFileExport", Work()->Item(0));
    EXPECT_EQ(Desktop.Dialogs.back().FileName, Dir.Path() + "/abcd");
    EXPECT_NE(ReadFile(Dir.File("abcd.qlp")).find("# Quillory Plan Exported Data (ver0.15)\r\n"), std::string::npos);

    Desktop.SetNextFile(Dir.File("abcd.qlp"));
    Trigger("ActionFileImport", Work()->Item(0)); // a to-do: into its folder
    EXPECT_EQ(Work()->Count(), 4);
    EXPECT_EQ(Work()->Item(3)->Text(), "a/b:c.d");
    Form->UpdateActions();
    Form->FindAction("ActionEditUndo")->trigger();
    EXPECT_EQ(Work()->Count(), 3);

    Desktop.SetNextFile(Dir.File("plan.ics"));
    Trigger("ActionFileExportICal", Work());
    EXPECT_EQ(ReadFile(Dir.File("plan.ics")).rfind("BEGIN:VCALENDAR", 0), 0u);
}

// What a paste or an import adds is in the target, one Ctrl+Z away, and marks the schedule; a
// paste that fails leaves it exactly as it was, unmarked.
TEST_F(TTransferWindow, BareItemLinesArriveInTheTargetAsOneStep) {
    auto undo = [&] {
        Form->UpdateActions();
        Form->FindAction("ActionEditUndo")->trigger();
    };
    Desktop.Clipboard = "just words";
    Trigger("ActionItemPaste", Work());
    EXPECT_FALSE(Form->Document().Modified);
    Desktop.Clipboard = "I\tbare\t0\t-\t-\t-\t-\t-\t-\t0\t\r\n";
    Trigger("ActionItemPaste", Work());
    ASSERT_EQ(Work()->Count(), 3);
    EXPECT_EQ(Work()->Item(2)->Text(), "bare");
    EXPECT_EQ(Form->Document().Root()->Count(), 1);
    EXPECT_TRUE(Form->Document().Modified);
    undo();
    EXPECT_EQ(Work()->Count(), 2);
    EXPECT_FALSE(Form->Document().Modified); // back at the saved state

    WriteFile(Dir.File("bare.qlp"), Tabs("D|2024|5|3\nI|one|0|-|-|-|-|-|-|0|\nI|two|0|-|-|-|-|-|-|0|\n"));
    Desktop.SetNextFile(Dir.File("bare.qlp"));
    Trigger("ActionFileImport", Work());
    ASSERT_EQ(Work()->Count(), 4);
    EXPECT_EQ(Work()->Item(3)->Text(), "two");
    EXPECT_TRUE(Form->Document().Modified);
    undo();
    EXPECT_EQ(Work()->Count(), 2);
}

// Pasted and dropped text keeps the usual variants of what cp932 cannot hold; the status bar says
// what was replaced or left out.
TEST_F(TTransferWindow, PastedAndDroppedNamesKeepWhatTheyCan) {
    Desktop.Clipboard = "D\t2024\t5\t3\r\n{\r\nI\t𠮷田🍣\t0\t-\t-\t-\t-\t-\t-\t0\t%mb;会議 🍱%me;\r\n}\r\n";
    Desktop.SetNextAnswer(mrNo);
    Trigger("ActionItemPaste", Work());
    ASSERT_EQ(Work()->Count(), 3);
    EXPECT_EQ(Cp932ToUtf8(Work()->Item(2)->Text()), "吉田");
    EXPECT_EQ(Cp932ToUtf8(Work()->Item(2)->Data()->Memo), "会議 ");
    EXPECT_EQ(Form->StatusPanel(0)->text().toStdString(),
              "次の文字を置き換えました：𠮷→吉　保存できない文字を除きました：🍣、🍱");

    WriteFile(Dir.File("鷗外🍣.txt"), "x");
    Form->AddDroppedFiles({Dir.File("鷗外🍣.txt")}, D(2024, 5, 3));
    TTreeNode* root = Form->Document().Root();
    EXPECT_EQ(Cp932ToUtf8(root->Item(root->Count() - 1)->Text()), "鴎外");
    EXPECT_EQ(Cp932ToUtf8(root->Item(root->Count() - 1)->Data()->Link), Dir.File("鴎外.txt"));
    EXPECT_EQ(Form->StatusPanel(0)->text().toStdString(),
              "次の文字を置き換えました：鷗→鴎　保存できない文字を除きました：🍣");
}

TEST_F(TTransferWindow, FilesDroppedOnTheTreeBecomeToDos) {
    WriteFile(Dir.File("notes.txt"), "x");
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(Dir.File("notes.txt")))});
    QWidget* viewport = Form->TreeList()->viewport();
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &drop);
    TTreeNode* root = Form->Document().Root();
    ASSERT_EQ(root->Count(), 2);
    EXPECT_EQ(root->Item(1)->Text(), "notes");
    EXPECT_EQ(root->Item(1)->Data()->BeginDate, D(2024, 5, 3));
    EXPECT_EQ(Form->TreeList()->Selected(), root->Item(1));
    EXPECT_TRUE(Form->Document().Modified);

    // A file that is no schedule is refused untouched; what the drop made before it is marked.
    Form->Files().SetModified(false);
    WriteFile(Dir.File("stray.qlp"), "# My notes\n");
    mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(Dir.File("notes.txt"))),
                  QUrl::fromLocalFile(QString::fromStdString(Dir.File("stray.qlp")))});
    QDragEnterEvent again(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &again);
    QDropEvent second(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &second);
    EXPECT_EQ(root->Count(), 3);
    EXPECT_TRUE(Form->Document().Modified);
    ASSERT_FALSE(Desktop.Shown.empty());
    EXPECT_EQ(Desktop.Shown.back().Text, Dir.File("stray.qlp") + "\r\n予定表ファイルではありません。");
    EXPECT_EQ(ReadFile(Dir.File("stray.qlp")), "# My notes\n");
}

TEST_F(TTransferWindow, HelpOpensTheDocumentBesideTheProgramAndTheAboutBoxShows) {
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
