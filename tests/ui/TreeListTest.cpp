// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/TreeListBuilder.h"

#include <QApplication>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <QValidator>
#include <gtest/gtest.h>

using namespace quillo;
using namespace quillo::test;

namespace {
struct TCall {
    std::string Node;
    int Index;
    int Left;
};

std::vector<TCall> PaintCalls(TTreeListBuilder& b) {
    std::vector<TCall> calls;
    b.List->OnCustomDrawSubItem = [&](TTreeList*, QPainter*, TTreeNode* n, int index, QStyle::State, QRect r, bool&) {
        calls.push_back({n->Text(), index, r.left()});
    };
    b.List->viewport()->grab();
    b.List->OnCustomDrawSubItem = nullptr;
    return calls;
}

int CallsFor(const std::vector<TCall>& calls, const std::string& node) {
    int n = 0;
    for (const auto& c : calls)
        n += c.Node == node;
    return n;
}
} // namespace

TEST(TreeList, SubItemsFollowTheHeaderOrder) {
    TTreeListBuilder b("name:100 begin:80 end:80 info:60", "full|b|e|i\nshort|b");
    auto calls = PaintCalls(b);
    EXPECT_EQ(CallsFor(calls, "full"), 3);
    EXPECT_EQ(CallsFor(calls, "short"), 1); // no call for texts it does not have

    // The fourth section moved to position 1 still draws sub-item 2, at its new place.
    b.Header->Sections().Items(3)->SetPosition(1);
    calls = PaintCalls(b);
    std::vector<std::pair<int, int>> full;
    for (const auto& c : calls)
        if (c.Node == "full") full.push_back({c.Index, c.Left});
    ASSERT_EQ(full.size(), 3u);
    EXPECT_EQ(full[0], std::make_pair(2, 100));
    EXPECT_EQ(full[1], std::make_pair(0, 160));

    b.Header->Sections().Items(1)->SetPosition(-1); // hidden: draws nothing
    calls = PaintCalls(b);
    EXPECT_EQ(CallsFor(calls, "full"), 2);
    for (const auto& c : calls)
        EXPECT_NE(c.Index, 0);
}

TEST(TreeList, DefaultDrawingCanBeSuppressed) {
    TTreeListBuilder b("name:100 a:80", "n|XXXXXXXX");
    b.List->OnCustomDrawSubItem = [](TTreeList*, QPainter* p, TTreeNode*, int, QStyle::State, QRect r, bool& def) {
        p->fillRect(r, QColor(0, 255, 0));
        def = false;
    };
    QImage img = b.List->viewport()->grab().toImage();
    const QRect row = b.List->visualRect(b.List->Model().IndexOf(b.Node("n")));
    EXPECT_EQ(img.pixelColor(140, row.center().y()), QColor(0, 255, 0)); // no text over the fill
}

TEST(TreeList, HeaderBinding) {
    TTreeListBuilder b("name:100 a:80", "n|x");
    EXPECT_EQ(b.Header->FixColumn(), 0);
    QPushButton notAHeader;
    b.List->SetHeaderControl(&notAHeader);
    EXPECT_EQ(b.List->HeaderControl(), b.Header); // ignored
    {
        auto* other = new TExHeader(b.Host.get());
        other->Sections().Add()->SetWidth(70);
        b.List->SetHeaderControl(other);
        EXPECT_EQ(b.List->FirstColumnWidth(), 70);
        delete other; // the list forgets a destroyed header
    }
    EXPECT_EQ(b.List->HeaderControl(), nullptr);
    b.List->viewport()->grab(); // paints without a header
    b.List->SetHeaderControl(nullptr);
    EXPECT_EQ(b.List->FirstColumnWidth(), b.List->viewport()->width());
}

TEST(TreeList, LabelIsClippedPastTheFirstColumn) {
    TTreeListBuilder b("name:200 a:80", "n");
    TTreeNode* n = b.Node("n");
    // Make the label end exactly at W - 5, then one pixel further.
    const QRect tr = b.List->TextRect(n);
    b.Header->Sections().Items(0)->SetWidth(tr.right() + 1 + 5);
    EXPECT_FALSE(b.List->IsClipped(n));
    b.Header->Sections().Items(0)->SetWidth(tr.right() + 5);
    EXPECT_TRUE(b.List->IsClipped(n));
}

TEST(TreeList, InPlaceTooltipForClippedLabels) {
    TTreeListBuilder b("name:60 a:80", "a very long node text that cannot fit\nok");
    TTreeNode* longNode = b.Node("a very long node text that cannot fit");
    const QPoint onLabel = b.List->TextRect(longNode).center() - QPoint(b.List->TextRect(longNode).width() / 2 - 3, 0);
    QTest::mouseMove(b.List->viewport(), onLabel);
    EXPECT_EQ(b.List->TooltipNode(), longNode);
    EXPECT_TRUE(b.List->TooltipVisible());
    EXPECT_EQ(b.List->TooltipTimer().interval(), 5000);
    // Expiry hides it but keeps the node: moving on the same label shows nothing new.
    QMetaObject::invokeMethod(&b.List->TooltipTimer(), "timeout");
    b.List->TooltipTimer().stop();
    EXPECT_FALSE(b.List->TooltipVisible());
    QTest::mouseMove(b.List->viewport(), onLabel + QPoint(1, 0));
    EXPECT_FALSE(b.List->TooltipVisible());
    EXPECT_EQ(b.List->TooltipNode(), longNode);
    // A node that fits: no tooltip, and the remembered node is forgotten.
    QTest::mouseMove(b.List->viewport(), b.List->TextRect(b.Node("ok")).center());
    EXPECT_EQ(b.List->TooltipNode(), nullptr);
    QTest::mouseMove(b.List->viewport(), onLabel);
    EXPECT_TRUE(b.List->TooltipVisible());
}

TEST(TreeList, HitTestTellsThePartsApart) {
    static const std::vector<QIcon> images(12, QIcon());
    TTreeListBuilder b("name:300", "parent\n  child");
    b.List->SetImages(&images);
    TTreeNode* parent = b.Node("parent");
    b.List->ToggleExpanded(parent);
    TTreeNode* child = b.Node("child");
    const QRect item = b.List->visualRect(b.List->Model().IndexOf(child));
    const int y = item.center().y();
    EXPECT_EQ(b.List->GetHitTestInfoAt(item.left() + 5, y), unsigned(htOnIcon));
    EXPECT_EQ(b.List->GetHitTestInfoAt(b.List->TextRect(child).center().x(), y), unsigned(htOnLabel));
    EXPECT_EQ(b.List->GetHitTestInfoAt(b.List->TextRect(child).right() + 20, y), unsigned(htOnRight));
    EXPECT_EQ(b.List->GetHitTestInfoAt(item.left() - 5, y), unsigned(htOnIndent)); // child has no children
    const QRect pItem = b.List->visualRect(b.List->Model().IndexOf(parent));
    EXPECT_EQ(b.List->GetHitTestInfoAt(pItem.left() - 5, pItem.center().y()), unsigned(htOnButton));
    EXPECT_EQ(b.List->GetHitTestInfoAt(5, b.List->viewport()->height() - 2), unsigned(htNowhere));
    EXPECT_EQ(b.List->GetNodeAt(item.left() + 30, y), child);
    EXPECT_EQ(b.List->TopItem(), parent);
}

TEST(TreeList, ExpandGesturesGoThroughTheCollection) {
    TTreeListBuilder b("name:300", "parent\n  child");
    TTreeNode* parent = b.Node("parent");
    std::vector<std::string> log;
    bool allowCollapse = false;
    b.List->OnExpanding = [&](TTreeList*, TTreeNode*, bool&) { log.push_back("expanding"); };
    b.List->OnExpanded = [&](TTreeList*, TTreeNode*) { log.push_back("expanded"); };
    b.List->OnCollapsing = [&](TTreeList*, TTreeNode*, bool& allow) {
        log.push_back("collapsing");
        allow = allowCollapse;
    };
    const QRect item = b.List->visualRect(b.List->Model().IndexOf(parent));
    QTest::mouseClick(b.List->viewport(), Qt::LeftButton, {}, QPoint(item.left() - 6, item.center().y()));
    EXPECT_TRUE(parent->Expanded());
    EXPECT_TRUE(b.List->isExpanded(b.List->Model().IndexOf(parent)));
    QTest::mouseClick(b.List->viewport(), Qt::LeftButton, {}, QPoint(item.left() - 6, item.center().y()));
    EXPECT_TRUE(parent->Expanded()); // vetoed
    EXPECT_EQ(log, (std::vector<std::string>{"expanding", "expanded", "collapsing"}));
    // Changing the node itself is mirrored by the view.
    parent->Collapse();
    EXPECT_FALSE(b.List->isExpanded(b.List->Model().IndexOf(parent)));
}

TEST(TreeList, LabelEditingAsksAndReportsCp932) {
    TTreeListBuilder b("name:300", "node");
    TTreeNode* n = b.Node("node");
    bool allow = false;
    std::string edited;
    int cancelled = 0;
    b.List->OnEditing = [&](TTreeList*, TTreeNode*, bool& a) { a = allow; };
    b.List->OnEdited = [&](TTreeList*, TTreeNode*, std::string& s) { edited = s; };
    b.List->OnCancelEdit = [&](TTreeList*, TTreeNode*) { ++cancelled; };
    EXPECT_FALSE(b.List->EditNode(n));
    allow = true;
    ASSERT_TRUE(b.List->EditNode(n));
    auto* editor = b.List->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->setText(QString::fromUtf8("表示"));
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents(); // the delegate commits on a queued call
    EXPECT_EQ(edited, "\x95\x5C\x8E\xA6");
    EXPECT_EQ(n->Text(), "node");                                    // the window, not the view, renames
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the first editor is gone
    ASSERT_TRUE(b.List->EditNode(n));
    editor = b.List->findChild<QLineEdit*>();
    QTest::keyClick(editor, Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_EQ(cancelled, 1);
    EXPECT_EQ(edited, "\x95\x5C\x8E\xA6"); // unchanged by the cancelled edit
    b.List->ReadOnly = true;
    EXPECT_FALSE(b.List->EditNode(n));
}

TEST(TreeList, TheNameEditorTakesOnlyWritableTextAndSpansTheNameColumn) {
    TTreeListBuilder b("name:300 info:80", "node");
    b.List->OnEditing = [](TTreeList*, TTreeNode*, bool& a) { a = true; };
    std::string told;
    b.List->OnEditFitted = [&](TTreeList*, const std::string& notice) { told = notice; };
    ASSERT_TRUE(b.List->EditNode(b.Node("node")));
    auto* editor = b.List->findChild<QLineEdit*>();
    ASSERT_TRUE(editor && editor->validator());
    auto verdict = [&](const QString& text) {
        QString t = text;
        int pos = 0;
        return editor->validator()->validate(t, pos);
    };
    EXPECT_EQ(verdict(QString::fromUtf8("表示 ソ〜")), QValidator::Acceptable); // the wave dash is cp932 0x8160
    for (const QString& bad : {QString("a\tb"), QString("a") + QChar(0x7F)})
        EXPECT_EQ(verdict(bad), QValidator::Invalid) << bad.toStdString();
    EXPECT_TRUE(told.empty());
    // Typing a control character leaves the text as it was; what cp932 cannot hold is fitted, and said.
    editor->setText("ab");
    editor->insert(QString("\t"));
    editor->insert(QString::fromUtf8("😀"));
    EXPECT_EQ(editor->text(), "ab");
    EXPECT_NE(told.find("😀"), std::string::npos);
    editor->setCursorPosition(1);
    editor->insert(QString::fromUtf8("𠮷野家で昼食🍱"));
    EXPECT_EQ(editor->text(), QString::fromUtf8("a吉野家で昼食b"));
    EXPECT_EQ(editor->cursorPosition(), 7);
    EXPECT_EQ(told, "次の文字を置き換えました：𠮷→吉　保存できない文字を除きました：🍱");
    EXPECT_GE(editor->geometry().right(), 300 - 10);
}

TEST(TreeList, TrackLineAndRedraw) {
    TTreeListBuilder b("name:100 a:80", "n");
    TExSection* s = b.Header->Sections().Items(1);
    b.List->DrawTrackLine(s, 50, tsTrackBegin);
    EXPECT_TRUE(b.List->TrackLineShown());
    EXPECT_EQ(b.List->TrackLineX(), 150);
    b.List->DrawTrackLine(s, 60, tsTrackMove);
    EXPECT_EQ(b.List->TrackLineX(), 160);
    b.List->Redraw();
    EXPECT_FALSE(b.List->TrackLineShown());
    b.List->DrawTrackLine(s, 60, tsTrackBegin);
    b.List->DrawTrackLine(s, 60, tsTrackEnd);
    EXPECT_FALSE(b.List->TrackLineShown());
}

TEST(TreeList, RowSelectPaintsTheRestOfTheRow) {
    TTreeListBuilder b("name:200 a:100", "first\nsecond");
    b.List->SetSelected(b.Node("first"));
    b.List->setFocus();
    QApplication::processEvents();
    const int x = b.List->TextRect(b.Node("first")).right() + 40;
    const int ySel = b.List->visualRect(b.List->Model().IndexOf(b.Node("first"))).center().y();
    const int yOther = b.List->visualRect(b.List->Model().IndexOf(b.Node("second"))).center().y();
    QImage img = b.List->viewport()->grab().toImage();
    const QPalette& pal = b.List->palette();
    EXPECT_EQ(img.pixelColor(x, yOther), pal.color(QPalette::Base));
    const QColor selected = img.pixelColor(x, ySel);
    EXPECT_TRUE(selected == pal.color(QPalette::Active, QPalette::Highlight) ||
                selected == pal.color(QPalette::Inactive, QPalette::Highlight));
    EXPECT_EQ(pal.color(QPalette::Inactive, QPalette::Highlight), pal.color(QPalette::Button));
}

TEST(TreeList, MouseEvents) {
    TTreeListBuilder b("name:200", "n");
    std::vector<std::string> log;
    b.List->OnMouseDown = [&](TTreeList*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { log.push_back("down"); };
    b.List->OnMouseUp = [&](TTreeList*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { log.push_back("up"); };
    b.List->OnClick = [&](TTreeList*) { log.push_back("click"); };
    b.List->OnDblClick = [&](TTreeList*) { log.push_back("dbl"); };
    const QPoint p = b.List->TextRect(b.Node("n")).center();
    QTest::mouseClick(b.List->viewport(), Qt::LeftButton, {}, p);
    EXPECT_EQ(log, (std::vector<std::string>{"down", "up", "click"}));
    EXPECT_EQ(b.List->Selected(), b.Node("n"));
    log.clear();
    QTest::mouseDClick(b.List->viewport(), Qt::LeftButton, {}, p);
    EXPECT_NE(std::find(log.begin(), log.end(), "dbl"), log.end());
}

// The tooltip's node and the node being renamed are forgotten when they leave the tree: nothing
// reports a freed node later.
TEST(TreeList, NodesHeldByTheListLeaveWithTheirNodes) {
    TTreeListBuilder b("name:60 a:80", "a very long node text that cannot fit\nrenamed\nother");
    TTreeNode* longNode = b.Node("a very long node text that cannot fit");
    const QPoint onLabel = b.List->TextRect(longNode).center() - QPoint(b.List->TextRect(longNode).width() / 2 - 3, 0);
    QTest::mouseMove(b.List->viewport(), onLabel);
    ASSERT_EQ(b.List->TooltipNode(), longNode);
    b.Nodes.Delete(longNode);
    EXPECT_EQ(b.List->TooltipNode(), nullptr);

    std::vector<std::string> reported;
    b.List->OnEdited = [&](TTreeList*, TTreeNode* n, std::string&) { reported.push_back(n->Text()); };
    b.List->OnCancelEdit = [&](TTreeList*, TTreeNode* n) { reported.push_back(n->Text()); };
    ASSERT_TRUE(b.List->EditNode(b.Node("renamed")));
    b.Nodes.Delete(b.Node("renamed"));
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(b.List->EditNode(b.Node("other")));
    auto* editor = b.List->findChild<QLineEdit*>();
    ASSERT_TRUE(editor);
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(reported, std::vector<std::string>{"other"});
}
