// SPDX-License-Identifier: GPL-3.0-or-later
// Random sessions of a user on the main tree: presses on icons, names and beside them, drags that
// drop or end outside, renames that end or lose their node, deletes, moves, shifts, copy and
// paste, undo and redo. Seeded, offscreen, and run under ASan, so that a node held past its life
// shows as an error; after every step the tree and its view agree, and at the end undo and redo
// retrace the whole session.
#include "main/ChartView.h"
#include "main/ItemCommands.h"
#include "main/ItemTransfer.h"
#include "main/TreeGestures.h"
#include "model/ScheduleFormat.h"
#include "settings/Settings.h"
#include "ui/MainParts.h"

#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <random>

using namespace quillo;
using namespace quillo::test;

namespace {
const TDate kToday = D(2024, 5, 3);

struct TSession : TTreeParts {
    std::mt19937 Rng;
    QTimer Closer; // a dialog a gesture opened (a double click) is closed, so the session goes on

    explicit TSession(unsigned seed) : TTreeParts(kToday), Rng(seed) {
        QObject::connect(&Closer, &QTimer::timeout, [] {
            if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
        });
        Closer.start(50);
        std::string text = "D|2024|5|3\n{\n";
        for (int f = 0; f < 4; ++f) {
            text += "F|folder" + std::to_string(f) + "||" + (f % 2 ? "+" : "-") + "\n{\n";
            for (int t = 0; t < 4; ++t)
                text += "I|todo" + std::to_string(f) + std::to_string(t) + "|0|2024|5|" + std::to_string(1 + t) +
                        "|2024|5|" + std::to_string(5 + f) + "|0|\n";
            text += "}\n";
        }
        P.Open(Tabs(text + "I|loose|0|-|-|-|-|-|-|0|\n}\n"));
    }
    int Pick(int n) { return int(Rng() % unsigned(n)); }
    TTreeNode* AnyNode() {
        std::vector<TTreeNode*> all;
        for (TTreeNode* n = P.Document.Root(); n; n = n->GetNext())
            all.push_back(n);
        return all[size_t(Pick(int(all.size())))];
    }
    // A point on a shown row: its icon, its name, beside the name, or a day column.
    QPoint PointOn(TTreeNode* node) {
        TTreeList& tree = *P.Tree;
        tree.scrollTo(tree.Model().IndexOf(node));
        const QRect row = tree.visualRect(tree.Model().IndexOf(node));
        const QRect name = tree.TextRect(node);
        switch (Pick(4)) {
        case 0:
            return {name.left() - 10, row.center().y()};
        case 1:
            return name.center();
        case 2:
            return {name.right() + 30, row.center().y()};
        default:
            return {P.Header->Sections().Items(TChartView::kFirstDaySection + Pick(20))->Left() + 4 -
                        tree.horizontalScrollBar()->value(),
                    row.center().y()};
        }
    }
    bool Shown(TTreeNode* node) const {
        for (TTreeNode* p = node->Parent(); p; p = p->Parent())
            if (!P.Tree->isExpanded(P.Tree->Model().IndexOf(p))) return false;
        return true;
    }
    TTreeNode* AnyShownNode() {
        for (int tries = 0; tries < 50; ++tries)
            if (TTreeNode* n = AnyNode(); Shown(n)) return n;
        return P.Document.Root();
    }
    void Drag() {
        TTreeList* tree = P.Tree;
        TTreeNode* from = AnyShownNode();
        QTest::mousePress(tree->viewport(), Qt::LeftButton, {}, PointOn(from));
        bool accept = false;
        QPoint over;
        for (int moves = 1 + Pick(3); moves > 0; --moves) {
            over = PointOn(AnyShownNode());
            tree->OnDragOver(tree, tree, over.x(), over.y(), accept);
        }
        const bool dropped = accept && Pick(3) != 0;
        if (dropped) tree->OnDragDrop(tree, tree, over.x(), over.y());
        tree->OnEndDrag(tree, dropped ? tree : nullptr, over.x(), over.y());
        QTest::mouseRelease(tree->viewport(), Qt::LeftButton, {}, QPoint(-5, -5)); // the drag ended elsewhere
    }
    void Rename() {
        TTreeNode* node = AnyShownNode();
        P.Tree->scrollTo(P.Tree->Model().IndexOf(node));
        if (!P.Tree->EditNode(node)) return;
        QApplication::processEvents();
        auto* box = P.Tree->findChild<QLineEdit*>();
        switch (Pick(3)) {
        case 0:
            if (box) {
                box->setText(QString::number(Pick(1000)));
                QTest::keyClick(box, Qt::Key_Return);
            }
            break;
        case 1:
            if (box) QTest::keyClick(box, Qt::Key_Escape);
            break;
        default: // the node goes while its name is typed
            P.Tree->SetSelected(node);
            P.Trigger("ActionItemDeleteNoWarning");
            break;
        }
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        P.Commands->Update();
    }
    void Step() {
        switch (Pick(14)) {
        case 0:
        case 1: { // a click: select, and on a to-do's icon the done mark
            const QPoint at = PointOn(AnyShownNode());
            QTest::mousePress(P.Tree->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseRelease(P.Tree->viewport(), Qt::LeftButton, {}, at);
            break;
        }
        case 2:
        case 3:
            Drag();
            break;
        case 4:
            P.Select(AnyNode());
            P.Trigger("ActionItemDeleteNoWarning");
            break;
        case 5:
            P.Trigger("ActionEditUndo");
            break;
        case 6:
            P.Trigger("ActionEditRedo");
            break;
        case 7:
            Rename();
            break;
        case 8:
            P.Select(AnyNode());
            P.Trigger(Pick(2) ? "ActionItemUp" : "ActionItemDown");
            break;
        case 9:
            P.Select(AnyNode());
            P.Trigger(Pick(2) ? "ActionDateP" : "ActionDateEndM");
            break;
        case 10:
            Items.NewToDo(AnyNode(), "new", kToday + Pick(9), false);
            break;
        case 11: {
            TTreeNode* folder = AnyShownNode();
            if (folder->HasChildren() && folder->Parent()) P.Tree->ToggleExpanded(folder);
            break;
        }
        case 12:
            P.Select(AnyNode());
            P.Trigger("ActionItemCopy");
            P.Select(AnyNode());
            P.Trigger("ActionItemPaste");
            break;
        default:
            P.Select(AnyNode());
            P.Trigger("ActionToDoToFolder");
            QApplication::processEvents();
            if (auto* box = P.Tree->findChild<QLineEdit*>()) QTest::keyClick(box, Qt::Key_Escape);
            QApplication::processEvents();
            break;
        }
        P.Commands->Update(); // as the idle loop would
    }
    // Every node where its parent says, at its level, and where the view finds it.
    ::testing::AssertionResult Consistent() const {
        int count = 0;
        for (TTreeNode* n = P.Document.Root(); n; n = n->GetNext(), ++count) {
            const QModelIndex index = P.Tree->Model().IndexOf(n);
            if (TTreeNode* parent = n->Parent()) {
                if (parent->Item(n->Index()) != n || n->Level() != parent->Level() + 1)
                    return ::testing::AssertionFailure() << n->Text() << " is not where its parent says";
                if (index.parent() != P.Tree->Model().IndexOf(parent))
                    return ::testing::AssertionFailure() << n->Text() << " has another parent in the view";
            }
            if (P.Tree->Model().rowCount(index) != n->Count())
                return ::testing::AssertionFailure() << n->Text() << " has other rows in the view";
        }
        if (count != P.Document.Nodes().Count())
            return ::testing::AssertionFailure()
                   << count << " nodes walked, " << P.Document.Nodes().Count() << " counted";
        return ::testing::AssertionSuccess();
    }
    // The schedule's lines without the folders' open state, which no step records.
    std::string Lines() const {
        std::string lines;
        WriteItemLines(P.Document.Root(), lines);
        std::string out;
        size_t start = 0;
        while (start < lines.size()) {
            size_t end = lines.find("\r\n", start);
            std::string line = lines.substr(start, end - start);
            if (line.rfind("F\t", 0) == 0) line = line.substr(0, line.rfind('\t'));
            out += line + "\n";
            start = end == std::string::npos ? lines.size() : end + 2;
        }
        return out;
    }
};
} // namespace

TEST(GuiSession, RandomDragsDeletesAndUndoKeepTheTreeWhole) {
    for (unsigned seed = 1; seed <= 3; ++seed) {
        TSession s(seed);
        ASSERT_TRUE(s.P.Document.IsOpen());
        const std::string start = s.Lines();
        for (int step = 0; step < 300; ++step) {
            s.Step();
            ASSERT_TRUE(s.Consistent()) << "seed " << seed << " step " << step;
        }
        while (s.P.Editor.CanRedo())
            s.P.Trigger("ActionEditRedo");
        const std::string tip = s.Lines();
        while (s.P.Editor.CanUndo())
            s.P.Trigger("ActionEditUndo");
        EXPECT_EQ(s.Lines(), start) << "seed " << seed;
        while (s.P.Editor.CanRedo())
            s.P.Trigger("ActionEditRedo");
        EXPECT_EQ(s.Lines(), tip) << "seed " << seed;
        ASSERT_TRUE(s.Consistent()) << "seed " << seed;
    }
}
