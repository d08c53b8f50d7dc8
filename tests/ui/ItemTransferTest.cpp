// SPDX-License-Identifier: GPL-3.0-or-later
// Copy, paste, export, import and dropped files, with the clipboard and dialogs scripted.
#include "main/ItemTransfer.h"
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
        P.Open(Tabs("A-\n{\nF|Work||+\n{\nI|a/b:c.d|1|-|-|-|-|-|-|0|\nI|Mail|1|-|-|-|-|-|-|0|\n}\n}\n"));
    }
    TTreeNode* Work() const { return P.Document.Root()->GetFirstChild(); }
    void Trigger(const char* name, TTreeNode* selected) {
        P.Select(selected);
        P.Trigger(name);
    }
    auto& Dir() { return P.Dir; }
    auto& Desktop() { return P.Desktop; }
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

TEST_F(TTransferWindow, FilesDroppedOnTheTreeBecomeToDos) {
    WriteFile(Dir().File("notes.txt"), "x");
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(Dir().File("notes.txt")))});
    QWidget* viewport = P.Tree->viewport();
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &drop);
    TTreeNode* root = P.Document.Root();
    ASSERT_EQ(root->Count(), 2);
    EXPECT_EQ(root->Item(1)->Text(), "notes");
    EXPECT_EQ(root->Item(1)->Data()->BeginDate, D(2024, 5, 3));
    EXPECT_EQ(P.Tree->Selected(), root->Item(1));
    EXPECT_TRUE(P.Document.Modified());
}
