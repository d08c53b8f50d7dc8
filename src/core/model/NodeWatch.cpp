// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/NodeWatch.h"

#include <algorithm>

namespace quillo {

THeldNode::THeldNode(TNodeWatch& watch, TTreeNode* node) : mWatch(watch), mNode(node) {
    mWatch.mHeld.push_back(this);
}

THeldNode::~THeldNode() {
    auto& held = mWatch.mHeld;
    held.erase(std::remove(held.begin(), held.end(), this), held.end());
}

TNodeWatch::TNodeWatch(TNodesIF& nodes) : mNodes(nodes) {
    mNodes.AddObserver(this);
}

TNodeWatch::~TNodeWatch() {
    mNodes.RemoveObserver(this);
}

void TNodeWatch::Forget(const TTreeNode* top) {
    for (THeldNode* h : mHeld)
        if (h->mNode && (!top || h->mNode == top || h->mNode->HasAsParent(top))) h->mNode = nullptr;
    if (OnRemoving) OnRemoving();
}

void TNodeWatch::BeginRemoveNode(TTreeNode* node) {
    Forget(node);
}

void TNodeWatch::BeginClear() {
    Forget(nullptr);
}

} // namespace quillo
