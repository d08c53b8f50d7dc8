// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Node pointers that a window keeps between events (a drag's source, the node a press went down
// on, the selection before a dialog) must not outlive their nodes: a held node empties itself
// before its node, or a node above it, leaves the collection.
#include "model/NodesIF.h"

#include <functional>
#include <vector>

namespace quillo {

class TNodeWatch;

class THeldNode {
public:
    explicit THeldNode(TNodeWatch& watch, TTreeNode* node = nullptr);
    ~THeldNode();
    THeldNode(const THeldNode&) = delete;
    THeldNode& operator=(const THeldNode&) = delete;
    THeldNode& operator=(TTreeNode* node) {
        mNode = node;
        return *this;
    }
    operator TTreeNode*() const { return mNode; }
    TTreeNode* operator->() const { return mNode; }

private:
    friend class TNodeWatch;
    TNodeWatch& mWatch;
    TTreeNode* mNode;
};

class TNodeWatch final : public INodesObserver {
public:
    explicit TNodeWatch(TNodesIF& nodes);
    ~TNodeWatch() override;
    TNodeWatch(const TNodeWatch&) = delete;
    TNodeWatch& operator=(const TNodeWatch&) = delete;

    // Told before nodes leave, once the held nodes among them are emptied.
    std::function<void()> OnRemoving;

    void BeginInsertNode(TTreeNode*, int) override {}
    void EndInsertNode(TTreeNode*) override {}
    void BeginRemoveNode(TTreeNode* node) override;
    void EndRemoveNode(TTreeNode*, int) override {}
    void BeginMoveNode(TTreeNode*, TTreeNode*, int) override {}
    void EndMoveNode(TTreeNode*) override {}
    void NodeChanged(TTreeNode*, unsigned) override {}
    void BeginClear() override;
    void EndClear() override {}

private:
    friend class THeldNode;
    void Forget(const TTreeNode* top); // none: every one

    TNodesIF& mNodes;
    std::vector<THeldNode*> mHeld;
};

} // namespace quillo
