// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The command history of the open schedule: one step per command, each knowing only what its
// command changed, so undo and redo cost what the change cost and never a copy of the schedule.
#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

namespace quillo {

class TNodesIF;
class TTreeNode;
struct TEvalContext;

// What a step works on: the tree, and the context that re-evaluates what it touched.
struct TEditTarget {
    TNodesIF& Nodes;
    const TEvalContext& Ctx;
};

// One undoable change. Nodes are found by their path of child rows from the root, which a step
// records at the moment it is valid, because undo and redo make new nodes for removed ones.
class TEditStep {
public:
    virtual ~TEditStep() = default;
    // Each re-evaluates what it changed and returns the node the change is about (to select).
    virtual TTreeNode* Undo(TEditTarget& target) = 0;
    virtual TTreeNode* Redo(TEditTarget& target) = 0;
};

class THistory {
public:
    void Push(std::unique_ptr<TEditStep> step); // drops what was undone
    bool CanUndo() const { return mNext > 0; }
    bool CanRedo() const { return mNext < mSteps.size(); }
    TTreeNode* Undo(TEditTarget& target);
    TTreeNode* Redo(TEditTarget& target);
    void Clear();
    size_t Count() const { return mSteps.size(); }

    // The schedule as saved is the state after the step count marked here.
    void MarkSaved() { mSaved = static_cast<long>(mNext); }
    bool AtSaved() const { return mSaved == static_cast<long>(mNext); }

    // Told after every step pushed, undone or redone (not after Clear or MarkSaved).
    std::function<void()> OnStep;

private:
    std::vector<std::unique_ptr<TEditStep>> mSteps;
    size_t mNext = 0; // steps before this one are done
    long mSaved = 0;
};

// Paths of nodes: the child rows from the root down.
using TNodePath = std::vector<int>;
TNodePath PathOf(const TTreeNode* node);
// With `absent`, the path is read as if that node were not in the tree (a node about to move).
TTreeNode* NodeAt(TNodesIF& nodes, const TNodePath& path, const TTreeNode* absent = nullptr);

} // namespace quillo
