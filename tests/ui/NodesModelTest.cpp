// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/NodesModel.h"
#include "model/TreeFilter.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include <random>
#include <set>

using namespace quillo;

TEST(NodesModel, StaysConsistentOverRandomEdits) {
    TNodesIF nodes;
    TNodesModel model(nodes);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    std::mt19937 rng(11);
    std::vector<TTreeNode*> all{nodes.Add(nullptr, "root")};
    for (int step = 0; step < 1500; ++step) {
        TTreeNode* target = all[rng() % all.size()];
        switch (rng() % 7) {
        case 0:
        case 1:
            all.push_back(nodes.AddChild(target, "n" + std::to_string(step)));
            break;
        case 2:
            all.push_back(nodes.AddChildFirst(target, "f"));
            break;
        case 3:
            all.push_back(nodes.Insert(target, "i"));
            break;
        case 4:
            nodes.MoveTo(all[rng() % all.size()], target, static_cast<TNodeAttachMode>(rng() % 3));
            break;
        case 5:
            target->SetText("t" + std::to_string(step));
            break;
        case 6:
            if (target->Parent()) {
                nodes.Delete(target);
                all.clear();
                for (TTreeNode* n = nodes.GetFirstNode(); n; n = n->GetNext())
                    all.push_back(n);
            }
            break;
        }
    }
    nodes.Clear();
    EXPECT_EQ(model.rowCount(), 0);
}

TEST(NodesModel, ABulkChangeIsOneConsistentReset) {
    TNodesIF nodes;
    TNodesModel model(nodes);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    TTreeNode* root = nodes.Add(nullptr, "root");
    TTreeNode* keep = nodes.AddChild(root, "keep");
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy inserts(&model, &QAbstractItemModel::rowsInserted);
    model.BeginBulk();
    model.BeginBulk(); // nested: only the outer end resets
    for (int i = 0; i < 50; ++i)
        nodes.AddChild(i % 2 ? keep : root, "n" + std::to_string(i));
    nodes.MoveTo(keep, root, naAddChild);
    nodes.Delete(root->GetFirstChild());
    keep->SetText("renamed");
    model.EndBulk();
    EXPECT_EQ(resets.count(), 0);
    EXPECT_EQ(model.rowCount(model.IndexOf(root)), root->Count());
    model.EndBulk();
    EXPECT_EQ(resets.count(), 1);
    EXPECT_EQ(inserts.count(), 0);
    EXPECT_EQ(model.rowCount(model.IndexOf(root)), root->Count());
    EXPECT_EQ(model.rowCount(model.IndexOf(keep)), 25);
    EXPECT_EQ(model.data(model.IndexOf(keep), Qt::DisplayRole).toString(), "renamed");
    nodes.Clear();
}

TEST(NodesModel, PersistentIndexesFollowMovedNodes) {
    TNodesIF nodes;
    TNodesModel model(nodes);
    TTreeNode* r = nodes.Add(nullptr, "r");
    TTreeNode* a = nodes.AddChild(r, "a");
    TTreeNode* b = nodes.AddChild(r, "b");
    TTreeNode* b1 = nodes.AddChild(b, "b1");
    QPersistentModelIndex pa(model.IndexOf(a)), pb1(model.IndexOf(b1));
    nodes.MoveTo(a, b1, naAddChild);
    EXPECT_EQ(TNodesModel::NodeOf(pa), a);
    EXPECT_EQ(pa.parent(), QModelIndex(pb1));
    nodes.MoveTo(b1, r, naAddChildFirst);
    EXPECT_EQ(pb1.row(), 0);
    EXPECT_EQ(pa.parent(), QModelIndex(pb1));
}

TEST(NodesModel, ChangesAreReportedWithTheirRoles) {
    TNodesIF nodes;
    TNodesModel model(nodes);
    TTreeNode* r = nodes.Add(nullptr, "r");
    QSignalSpy data(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy expanded(&model, &TNodesModel::NodeExpandedChanged);
    r->SetText("\x95\x5C"); // 表 in cp932
    r->SetImages(4);
    r->SetExpanded(true);
    ASSERT_EQ(data.count(), 2);
    EXPECT_TRUE(data[0][2].value<QList<int>>().contains(Qt::DisplayRole));
    EXPECT_TRUE(data[1][2].value<QList<int>>().contains(Qt::DecorationRole));
    ASSERT_EQ(expanded.count(), 1);
    EXPECT_TRUE(expanded[0][1].toBool());
    EXPECT_EQ(model.data(model.IndexOf(r), Qt::DisplayRole).toString(), QString::fromUtf8("表"));
}

// A find filter's rows: the view follows every edit as it comes, by the rule that a node shows
// while its parent shows and it was shown, added under a shown parent, or moved under one.
TEST(NodesModel, AFilteredViewFollowsEditsAsTheyCome) {
    TNodesIF nodes;
    TNodesModel model(nodes);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    std::mt19937 rng(5);
    std::vector<TTreeNode*> all{nodes.Add(nullptr, "root")};
    for (int i = 0; i < 150; ++i)
        all.push_back(nodes.AddChild(all[rng() % all.size()], "n"));
    std::set<const TTreeNode*> shown;
    const auto parentShown = [&](const TTreeNode* parent) { return !parent || shown.count(parent) != 0; };
    const auto forget = [&](TTreeNode* top) {
        for (TTreeNode* n = top; n && (n == top || n->HasAsParent(top)); n = n->GetNext())
            shown.erase(n);
    };
    const auto check = [&](int round, int step) {
        std::set<const TTreeNode*> seen;
        std::vector<QModelIndex> stack{QModelIndex()};
        while (!stack.empty()) {
            const QModelIndex parent = stack.back();
            stack.pop_back();
            int lastIndex = -1;
            for (int row = 0; row < model.rowCount(parent); ++row) {
                const QModelIndex i = model.index(row, 0, parent);
                TTreeNode* n = TNodesModel::NodeOf(i);
                ASSERT_EQ(n->Parent(), TNodesModel::NodeOf(parent)) << round << "/" << step;
                ASSERT_GT(n->Index(), lastIndex) << "rows out of tree order";
                ASSERT_EQ(model.IndexOf(n), i);
                lastIndex = n->Index();
                seen.insert(n);
                stack.push_back(i);
            }
        }
        ASSERT_EQ(seen, shown) << round << "/" << step;
    };
    for (int round = 0; round < 12; ++round) {
        shown.clear();
        std::vector<TShownRow> rows;
        for (TTreeNode* n = nodes.GetFirstNode(); n; n = n->GetNext())
            if (parentShown(n->Parent()) && rng() % 4 != 0) {
                shown.insert(n);
                rows.push_back({n, true});
            }
        model.ShowOnly(rows);
        ASSERT_TRUE(model.ShowsExactly(rows));
        check(round, -1);
        for (int step = 0; step < 80; ++step) {
            TTreeNode* target = all[rng() % all.size()];
            TTreeNode* added = nullptr;
            switch (rng() % 6) {
            case 0:
                added = nodes.AddChild(target, "c");
                break;
            case 1:
                added = nodes.AddChildFirst(target, "f");
                break;
            case 2:
                added = nodes.Insert(target, "i");
                break;
            case 3:
            case 4: {
                TTreeNode* moved = all[rng() % all.size()];
                const auto mode = static_cast<TNodeAttachMode>(rng() % 3);
                const TTreeNode* newParent = mode == naInsert ? target->Parent() : target;
                const bool was = shown.count(moved) != 0;
                if (!nodes.MoveTo(moved, target, mode) || moved->Parent() != newParent) break;
                if (was && !parentShown(newParent)) forget(moved);
                if (!was && parentShown(newParent)) shown.insert(moved);
                break;
            }
            default:
                if (!target->Parent()) break;
                forget(target);
                nodes.Delete(target);
                all.clear();
                for (TTreeNode* n = nodes.GetFirstNode(); n; n = n->GetNext())
                    all.push_back(n);
            }
            if (added) {
                all.push_back(added);
                if (parentShown(added->Parent())) shown.insert(added);
            }
            check(round, step);
        }
    }
    model.ShowAll();
    EXPECT_FALSE(model.Filtered());
    EXPECT_EQ(model.rowCount(model.IndexOf(all[0])), all[0]->Count());
    // A change inside a bulk change drops the filter: the reset at its end shows every node.
    model.ShowOnly({{all[0], true}});
    model.BeginBulk();
    nodes.AddChild(all[0], "bulk");
    model.EndBulk();
    EXPECT_FALSE(model.Filtered());
    EXPECT_EQ(model.rowCount(model.IndexOf(all[0])), all[0]->Count());
}
