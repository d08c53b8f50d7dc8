// SPDX-License-Identifier: GPL-3.0-or-later
// Copy, paste, export, import and dropped files, with the clipboard and dialogs scripted.
#include "main/ItemTransfer.h"
#include "base/Cp932.h"
#include "main/ItemCommands.h"
#include "model/SchItem.h"
#include "settings/Settings.h"
#include "ui/MainParts.h"

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
    TMainParts P{D(2024, 5, 3)};
    TMainSettings Places;
    TItemCommands Items{*P.Context, Places, [] { return D(2024, 5, 3); }}; // for undo
    TItemTransfer Transfer{*P.Context};
    TTransferWindow() {
        P.Open(Tabs("D|2024|5|3\nA-\n{\nF|Work||+\n{\nI|a/b:c.d|1|-|-|-|-|-|-|0|\nI|Mail|1|-|-|-|-|-|-|0|\n}\n}\n"));
    }
    TTreeNode* Work() const { return P.Document.Root()->GetFirstChild(); }
    void Trigger(const char* name, TTreeNode* selected) {
        P.Select(selected);
        P.Trigger(name);
    }
    auto& Dir() { return P.Dir; }
    auto& Desktop() { return P.Desktop; }
    // As the file manager drops them; false when the tree refuses the drag.
    bool DropOnTree(const std::vector<std::string>& paths) {
        QMimeData mime;
        QList<QUrl> urls;
        for (const std::string& path : paths)
            urls << QUrl::fromLocalFile(QString::fromStdString(path));
        mime.setUrls(urls);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(P.Tree->viewport(), &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(P.Tree->viewport(), &drop);
        return enter.isAccepted();
    }
};
} // namespace

TEST_F(TTransferWindow, CopyPasteExportAndImportThroughTheDesktop) {
    Trigger("ActionItemCopy", P.Document.Root()); // nothing on the root
    EXPECT_TRUE(Desktop().Clipboard.empty());
    Trigger("ActionItemCopy", Work()->Item(1));
    EXPECT_EQ(Desktop().Clipboard, "D\t2024\t5\t3\r\n{\r\nI\tMail\t1\t-\t-\t-\t-\t-\t-\t0\t\r\n}\r\n\r\n"
                                   "# Quillory Plan Clipped Data (ver0.15)\r\n# 2024/05/03 12:00:00\r\n");
    Desktop().SetNextAnswer(mrYes); // clear the checks
    Trigger("ActionItemPaste", Work()->Item(0));
    ASSERT_EQ(Work()->Count(), 3);
    EXPECT_EQ(Work()->Item(1)->Text(), "Mail");
    EXPECT_FALSE(Work()->Item(1)->Data()->Checked);
    EXPECT_EQ(P.Tree->Selected(), Work()->Item(1));
    EXPECT_EQ(Desktop().Shown.back().Text, "貼り付ける項目のチェックを未完了に戻しますか？");
    EXPECT_TRUE(P.Document.Modified());

    Desktop().Clipboard = "not a schedule 😀";
    Trigger("ActionItemPaste", Work());
    EXPECT_EQ(Desktop().Shown.back().Text, "クリップボードからの項目の読み込み中にエラーが発生しました。");
    EXPECT_EQ(P.Document.Root()->Count(), 1); // no "Temp" left behind

    Desktop().SetNextFile(Dir().File("abcd.qlp"));
    Trigger("ActionFileExport", Work()->Item(0));
    EXPECT_EQ(Desktop().Dialogs.back().FileName, Dir().Path() + "/abcd");
    EXPECT_NE(ReadFile(Dir().File("abcd.qlp")).find("# Quillory Plan Exported Data (ver0.15)\r\n"), std::string::npos);

    Desktop().SetNextFile(Dir().File("abcd.qlp"));
    Trigger("ActionFileImport", Work()->Item(0)); // a to-do: into its folder
    EXPECT_EQ(Work()->Count(), 4);
    EXPECT_EQ(Work()->Item(3)->Text(), "a/b:c.d");
    P.Trigger("ActionEditUndo");
    EXPECT_EQ(Work()->Count(), 3);

    Desktop().SetNextFile(Dir().File("plan.ics"));
    Trigger("ActionFileExportICal", Work());
    EXPECT_EQ(ReadFile(Dir().File("plan.ics")).rfind("BEGIN:VCALENDAR", 0), 0u);
}

// What a paste or an import adds is in the target, one Ctrl+Z away, and marks the schedule; a
// paste that fails leaves it exactly as it was, unmarked.
TEST_F(TTransferWindow, BareItemLinesArriveInTheTargetAsOneStep) {
    Desktop().Clipboard = "just words";
    Trigger("ActionItemPaste", Work());
    EXPECT_FALSE(P.Document.Modified());
    Desktop().Clipboard = "I\tbare\t0\t-\t-\t-\t-\t-\t-\t0\t\r\n";
    Trigger("ActionItemPaste", Work());
    ASSERT_EQ(Work()->Count(), 3);
    EXPECT_EQ(Work()->Item(2)->Text(), "bare");
    EXPECT_EQ(P.Document.Root()->Count(), 1);
    EXPECT_TRUE(P.Document.Modified());
    P.Trigger("ActionEditUndo");
    EXPECT_EQ(Work()->Count(), 2);
    EXPECT_FALSE(P.Document.Modified()); // back at the saved state

    WriteFile(Dir().File("bare.qlp"), Tabs("D|2024|5|3\nI|one|0|-|-|-|-|-|-|0|\nI|two|0|-|-|-|-|-|-|0|\n"));
    Desktop().SetNextFile(Dir().File("bare.qlp"));
    Trigger("ActionFileImport", Work());
    ASSERT_EQ(Work()->Count(), 4);
    EXPECT_EQ(Work()->Item(3)->Text(), "two");
    EXPECT_TRUE(P.Document.Modified());
    P.Trigger("ActionEditUndo");
    EXPECT_EQ(Work()->Count(), 2);
}

// Pasted and dropped text keeps the usual variants of what cp932 cannot hold; the status bar says
// what was replaced or left out.
TEST_F(TTransferWindow, PastedAndDroppedNamesKeepWhatTheyCan) {
    Desktop().Clipboard = "D\t2024\t5\t3\r\n{\r\nI\t𠮷田🍣\t0\t-\t-\t-\t-\t-\t-\t0\t%mb;会議 🍱%me;\r\n}\r\n";
    Desktop().SetNextAnswer(mrNo);
    Trigger("ActionItemPaste", Work());
    ASSERT_EQ(Work()->Count(), 3);
    EXPECT_EQ(Cp932ToUtf8(Work()->Item(2)->Text()), "吉田");
    EXPECT_EQ(Cp932ToUtf8(Work()->Item(2)->Data()->Memo), "会議 ");
    EXPECT_EQ(P.Hint->text().toStdString(), "次の文字を置き換えました：𠮷→吉　保存できない文字を除きました：🍣、🍱");

    WriteFile(Dir().File("鷗外🍣.txt"), "x");
    Transfer.AddDroppedFiles({Dir().File("鷗外🍣.txt")}, D(2024, 5, 3));
    TTreeNode* root = P.Document.Root();
    EXPECT_EQ(Cp932ToUtf8(root->Item(root->Count() - 1)->Text()), "鴎外");
    EXPECT_EQ(Cp932ToUtf8(root->Item(root->Count() - 1)->Data()->Link), Dir().File("鴎外.txt"));
    EXPECT_EQ(P.Hint->text().toStdString(), "次の文字を置き換えました：鷗→鴎　保存できない文字を除きました：🍣");
}

TEST_F(TTransferWindow, FilesDroppedOnTheTreeBecomeToDos) {
    WriteFile(Dir().File("notes.txt"), "x");
    ASSERT_TRUE(DropOnTree({Dir().File("notes.txt")}));
    TTreeNode* root = P.Document.Root();
    ASSERT_EQ(root->Count(), 2);
    EXPECT_EQ(root->Item(1)->Text(), "notes");
    EXPECT_EQ(root->Item(1)->Data()->BeginDate, D(2024, 5, 3));
    EXPECT_EQ(P.Tree->Selected(), root->Item(1));
    EXPECT_TRUE(P.Document.Modified());

    // A file that is no schedule is refused untouched; what the drop made before it is marked.
    P.Files.SetModified(false);
    WriteFile(Dir().File("stray.qlp"), "# My notes\n");
    DropOnTree({Dir().File("notes.txt"), Dir().File("stray.qlp")});
    EXPECT_EQ(root->Count(), 3);
    EXPECT_TRUE(P.Document.Modified());
    ASSERT_FALSE(Desktop().Shown.empty());
    EXPECT_EQ(Desktop().Shown.back().Text, Dir().File("stray.qlp") + "\r\n予定表ファイルではありません。");
    EXPECT_EQ(ReadFile(Dir().File("stray.qlp")), "# My notes\n");
}

// A dropped schedule is the menu's import: the same questions, and its folder selected.
TEST_F(TTransferWindow, ADroppedScheduleIsImportedAsTheMenuImportsIt) {
    const std::string damaged = Dir().File("damaged.qlp");
    WriteFile(damaged, Tabs("D|2024|5|3\n{\nI|kept|0|-|-|-|-|-|-|0|\n}\n}\nI|lost|0|-|-|-|-|-|-|0|\n"));
    P.Select(Work()->Item(0));
    Desktop().SetNextAnswer(mrAbort);
    DropOnTree({damaged});
    ASSERT_EQ(Desktop().Shown.size(), 2u);
    EXPECT_EQ(Desktop().Shown[0].Text,
              damaged + "\r\n読み込み中にエラーが発生しました。\r\n\r\nLine5 : 不正なノードレベル");
    EXPECT_EQ(Desktop().Shown[0].Buttons, unsigned(mbAbort));
    EXPECT_EQ(Desktop().Shown[1].Text, damaged + "\r\nインポートは中止されました。");
    EXPECT_EQ(P.Node("kept"), nullptr); // the schedule as before
    EXPECT_EQ(Work()->Count(), 2);
    EXPECT_FALSE(P.Document.Modified());
    EXPECT_FALSE(P.Action("ActionEditUndo")->isEnabled());

    // Read whole into a to-do's folder, which is then the selection.
    const std::string good = Dir().File("good.qlp");
    WriteFile(good, Tabs("D|2024|5|3\n{\nI|one|0|-|-|-|-|-|-|0|\nI|two|0|-|-|-|-|-|-|0|\n}\n"));
    P.Select(Work()->Item(0));
    DropOnTree({good});
    EXPECT_EQ(Desktop().Shown.size(), 2u);
    ASSERT_EQ(Work()->Count(), 4);
    EXPECT_EQ(Work()->Item(3)->Text(), "two");
    EXPECT_EQ(P.Tree->Selected(), Work());
}
