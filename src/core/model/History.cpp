// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/History.h"

#include "model/NodesIF.h"

#include <algorithm>

namespace quillo {

void THistory::Push(std::unique_ptr<TEditStep> step) {
    mSteps.resize(mNext);
    if (mSaved > static_cast<long>(mNext)) mSaved = -1; // the saved state was undone and is gone
    mSteps.push_back(std::move(step));
    ++mNext;
    if (OnStep) OnStep();
}

TTreeNode* THistory::Undo(TEditTarget& target) {
    if (!CanUndo()) return nullptr;
    TTreeNode* node = mSteps[--mNext]->Undo(target);
    if (OnStep) OnStep();
    return node;
}

TTreeNode* THistory::Redo(TEditTarget& target) {
    if (!CanRedo()) return nullptr;
    TTreeNode* node = mSteps[mNext++]->Redo(target);
    if (OnStep) OnStep();
    return node;
}

void THistory::Clear() {
    mSteps.clear();
    mNext = 0;
    mSaved = 0;
}

TNodePath PathOf(const TTreeNode* node) {
    TNodePath path;
    for (; node && node->Parent(); node = node->Parent())
        path.push_back(node->Index());
    std::reverse(path.begin(), path.end());
    return path;
}

TTreeNode* NodeAt(TNodesIF& nodes, const TNodePath& path, const TTreeNode* absent) {
    TTreeNode* node = nodes.GetFirstNode();
    for (int row : path) {
        if (absent && absent->Parent() == node && row >= absent->Index()) ++row;
        if (!node || row < 0 || row >= node->Count()) return nullptr;
        node = node->Item(row);
    }
    return node;
}

} // namespace quillo
