// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/NodeWatch.h"
#include "model/NodesIF.h"
#include "model/SchItem.h"

#include <gtest/gtest.h>

#include <random>

using namespace quillo;

namespace {

struct TRecorder : INodesObserver {
    std::vector<std::string> Log;
    std::vector<bool> SubItemsGoneAtDeletion;
    std::string Name(TTreeNode* n) { return n ? n->Text() : "-"; }
    void BeginInsertNode(TTreeNode* p, int row) override { Log.push_back("bi " + Name(p) + " " + std::to_string(row)); }
    void EndInsertNode(TTreeNode* n) override { Log.push_back("ei " + n->Text()); }
    void BeginRemoveNode(TTreeNode* n) override { Log.push_back("br " + n->Text()); }
    void EndRemoveNode(TTreeNode* p, int row) override { Log.push_back("er " + Name(p) + " " + std::to_string(row)); }
    void BeginMoveNode(TTreeNode* n, TTreeNode* p, int row) override {
        Log.push_back("bm " + n->Text() + " " + Name(p) + " " + std::to_string(row));
    }
    void EndMoveNode(TTreeNode* n) override { Log.push_back("em " + n->Text()); }
    void NodeChanged(TTreeNode* n, unsigned what) override {
        Log.push_back("ch " + n->Text() + " " + std::to_string(what));
    }
    void BeginClear() override { Log.push_back("bc"); }
    void EndClear() override { Log.push_back("ec"); }
    void NodeDeleted(TTreeNode* n) override {
        Log.push_back("del " + n->Text());
        SubItemsGoneAtDeletion.push_back(!n->Data() && n->SubItems()->Count() == 0);
    }
};

std::string Shape(const TNodesIF& nodes) {
    std::string s;
    for (TTreeNode* n = nodes.GetFirstNode(); n; n = n->GetNext())
        s += std::to_string(n->Level()) + n->Text() + " ";
    return s;
}

} // namespace

TEST(Nodes, AddOperationsPlaceNodes) {
    TNodesIF nodes;
    TTreeNode* r = nodes.Add(nullptr, "r");
    TTreeNode* b = nodes.AddChild(r, "b");
    nodes.AddChildFirst(r, "a");
    nodes.AddChild(r, "c");
    nodes.Add(b, "d"); // last among b's siblings
    nodes.Insert(b, "ab");
    TTreeNode* b1 = nodes.AddChildObject(b, "b1", nullptr);
    EXPECT_EQ(Shape(nodes), "0r 1a 1ab 1b 2b1 1c 1d ");
    EXPECT_EQ(b->Index(), 2);
    EXPECT_EQ(b1->Parent(), b);
    EXPECT_EQ(b->GetPrevSibling()->Text(), "ab");
    EXPECT_EQ(b->GetNextSibling()->Text(), "c");
    EXPECT_EQ(r->GetFirstChild()->Text(), "a");
    EXPECT_EQ(nodes.Count(), 7);
    EXPECT_EQ(b->SubItems()->Node(), b);
    EXPECT_EQ(nodes.Add(nullptr, "r2")->Index(), 1);
}

TEST(Nodes, ObserverHearsInsertAndChangeBeforeAndAfter) {
    TNodesIF nodes;
    TRecorder rec;
    nodes.AddObserver(&rec);
    TTreeNode* r = nodes.Add(nullptr, "r");
    nodes.AddChild(r, "x");
    r->SetText("R");
    r->SetText("R"); // no change, no notice
    r->SetImages(3);
    r->SetExpanded(true);
    std::vector<std::string> want = {"bi - 0", "ei r", "bi r 0", "ei x", "ch R 1", "ch R 2", "ch R 4"};
    EXPECT_EQ(rec.Log, want);
}

TEST(Nodes, DeleteFreesSubItemsBeforeTheNoticeChildrenFirst) {
    TNodesIF nodes;
    TRecorder rec;
    TTreeNode* r = nodes.Add(nullptr, "r");
    TTreeNode* a = nodes.AddChild(r, "a");
    nodes.AddChild(a, "a1");
    nodes.AddChild(r, "b");
    nodes.AddObserver(&rec);
    nodes.Delete(a);
    std::vector<std::string> want = {"br a", "er r 0", "del a1", "del a"};
    EXPECT_EQ(rec.Log, want);
    EXPECT_EQ(rec.SubItemsGoneAtDeletion, (std::vector<bool>{true, true}));
    EXPECT_EQ(r->Item(0)->Text(), "b");
    EXPECT_EQ(r->Item(0)->Index(), 0);
    EXPECT_EQ(nodes.Count(), 2);
}

TEST(Nodes, OwnedItemsAreFreedWithTheirNodes) {
    // ASan reports a double free or a leak if an item is freed twice or never.
    TNodesIF nodes;
    nodes.SetOwnsData(true);
    TTreeNode* r = nodes.Add(nullptr, "r");
    for (int i = 0; i < 10; ++i) {
        TTreeNode* f = nodes.AddChild(r, "f");
        BindItem(f, TSchFolder::Create("f", f));
        TTreeNode* t = nodes.AddChild(f, "t");
        BindItem(t, TSchToDo::Create("t", t));
    }
    nodes.Delete(r->Item(3));
    nodes.Clear();
    EXPECT_EQ(nodes.Count(), 0);
    EXPECT_EQ(nodes.GetFirstNode(), nullptr);
}

TEST(Nodes, MovesKeepIndexesAndLevels) {
    TNodesIF nodes;
    TRecorder rec;
    TTreeNode* r = nodes.Add(nullptr, "r");
    TTreeNode* a = nodes.AddChild(r, "a");
    TTreeNode* b = nodes.AddChild(r, "b");
    TTreeNode* c = nodes.AddChild(r, "c");
    TTreeNode* a1 = nodes.AddChild(a, "a1");
    nodes.AddChild(a1, "a11");
    nodes.AddObserver(&rec);

    EXPECT_TRUE(nodes.MoveTo(c, a, naInsert)); // before a
    EXPECT_EQ(Shape(nodes), "0r 1c 1a 2a1 3a11 1b ");
    EXPECT_TRUE(nodes.MoveTo(a, b, naAddChild)); // subtree one level deeper
    EXPECT_EQ(Shape(nodes), "0r 1c 1b 2a 3a1 4a11 ");
    EXPECT_TRUE(nodes.MoveTo(a1, r, naAddChildFirst));
    EXPECT_EQ(Shape(nodes), "0r 1a1 2a11 1c 1b 2a ");
    for (TTreeNode* n = nodes.GetFirstNode(); n; n = n->GetNext())
        if (n->Parent()) {
            EXPECT_EQ(n->Parent()->Item(n->Index()), n);
        }
    EXPECT_EQ(rec.Log[0], "bm c r 0");
    EXPECT_EQ(rec.Log[2], "bm a b 0");

    // Into its own subtree or onto itself: refused, nothing changes.
    rec.Log.clear();
    EXPECT_FALSE(nodes.MoveTo(r, a1, naAddChild));
    EXPECT_FALSE(nodes.MoveTo(a1, a1, naAddChild));
    EXPECT_FALSE(nodes.MoveTo(a1, a1->GetFirstChild(), naInsert));
    EXPECT_TRUE(rec.Log.empty());
    EXPECT_EQ(Shape(nodes), "0r 1a1 2a11 1c 1b 2a ");
    // Moving right before itself or its next sibling is no move at all.
    EXPECT_TRUE(nodes.MoveTo(c, b, naInsert));
    EXPECT_TRUE(rec.Log.empty());
}

TEST(Nodes, RandomEditsKeepTheTreeConsistent) {
    std::mt19937 rng(7);
    TNodesIF nodes;
    std::vector<TTreeNode*> all{nodes.Add(nullptr, "root")};
    for (int step = 0; step < 3000; ++step) {
        TTreeNode* target = all[rng() % all.size()];
        switch (rng() % 5) {
        case 0:
        case 1:
            all.push_back(nodes.AddChild(target, "n"));
            break;
        case 2:
            all.push_back(nodes.AddChildFirst(target, "n"));
            break;
        case 3: {
            TTreeNode* moved = all[rng() % all.size()];
            nodes.MoveTo(moved, target, static_cast<TNodeAttachMode>(rng() % 3));
            break;
        }
        case 4:
            if (target->Parent()) {
                nodes.Delete(target);
                all.clear();
                for (TTreeNode* n = nodes.GetFirstNode(); n; n = n->GetNext())
                    all.push_back(n);
            }
            break;
        }
    }
    int count = 0;
    for (TTreeNode* n = nodes.GetFirstNode(); n; n = n->GetNext(), ++count) {
        int depth = 0;
        for (TTreeNode* p = n->Parent(); p; p = p->Parent())
            ++depth;
        ASSERT_EQ(n->Level(), depth);
        if (n->Parent()) {
            ASSERT_EQ(n->Parent()->Item(n->Index()), n);
        }
    }
    EXPECT_EQ(count, nodes.Count());
}

TEST(Nodes, MillionDeepChainIsWalkedAndDeletedWithoutRecursion) {
    TNodesIF nodes;
    TTreeNode* n = nodes.Add(nullptr, "r");
    for (int i = 0; i < 1000000; ++i)
        n = nodes.AddChild(n, "");
    EXPECT_EQ(n->Level(), 1000000);
    EXPECT_TRUE(n->HasAsParent(nodes.GetFirstNode()));
    EXPECT_EQ(n->GetNext(), nullptr);
    nodes.Clear();
    EXPECT_EQ(nodes.Count(), 0);
}

TEST(SubItems, SparseButPadded) {
    TNodesIF nodes;
    TTreeNode* n = nodes.Add(nullptr, "n");
    TSubItems* s = n->SubItems();
    s->Pad(65);
    EXPECT_EQ(s->Count(), 65);
    EXPECT_EQ(s->StoredTexts(), 0);
    s->SetText(2, "info");
    s->SetText(0, "begin");
    EXPECT_EQ(s->Text(2), "info");
    EXPECT_EQ(s->Text(1), "");
    EXPECT_EQ(s->Text(64), "");
    EXPECT_EQ(s->StoredTexts(), 2);
    s->SetText(2, "");
    EXPECT_EQ(s->StoredTexts(), 1);
    s->Pad(3); // never shrinks
    EXPECT_EQ(s->Count(), 65);
    s->Add("x");
    EXPECT_EQ(s->Count(), 66);
    EXPECT_EQ(s->Text(65), "x");
}

// What a window holds between events empties itself before its node goes, and only then.
TEST(Nodes, HeldNodesEmptyBeforeTheirNodesLeave) {
    TNodesIF nodes;
    TTreeNode* r = nodes.Add(nullptr, "r");
    TTreeNode* a = nodes.AddChild(r, "a");
    TTreeNode* a1 = nodes.AddChild(a, "a1");
    TTreeNode* b = nodes.AddChild(r, "b");
    TTreeNode* b1 = nodes.AddChild(b, "b1");
    TNodeWatch watch(nodes);
    int removals = 0;
    watch.OnRemoving = [&] { ++removals; };
    THeldNode onA1(watch, a1), onB(watch, b), onB1(watch, b1), onR(watch, r);
    nodes.MoveTo(a1, b, naAddChild); // moved, not gone
    EXPECT_EQ(onA1, a1);
    nodes.Delete(b1); // itself
    EXPECT_EQ(onB1, nullptr);
    EXPECT_EQ(onB, b); // its parent stays
    nodes.Delete(b);   // an ancestor of a1 now
    EXPECT_EQ(onA1, nullptr);
    EXPECT_EQ(onB, nullptr);
    EXPECT_EQ(onR, r);
    EXPECT_EQ(removals, 2);
    {
        THeldNode local(watch, a);
        nodes.Clear();
        EXPECT_EQ(local, nullptr);
    } // a held node that goes first leaves the watch
    EXPECT_EQ(onR, nullptr);
    EXPECT_EQ(removals, 3);
    onR = nodes.Add(nullptr, "again");
    nodes.Delete(onR);
    EXPECT_EQ(onR, nullptr);
}
