// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The kinds of history step and the tree operations they are made of.
#include "edit/Editor.h"
#include "model/History.h"

#include <memory>
#include <string>
#include <vector>

namespace quillo {

// The lines of a subtree as the schedule format writes it, ready to read below a parent.
std::string SubtreeLines(const TTreeNode* node);
// Reads such lines as the child at `index` of `parent`, folders opened as stored, evaluated.
TTreeNode* InsertLines(TEditTarget& target, TTreeNode* parent, int index, const std::string& lines);
// Removes a subtree and re-evaluates its former parent, which it returns.
TTreeNode* RemoveSubtree(TEditTarget& target, TTreeNode* node);
// Places `node` as child `index` of `parent` (counted without the node itself).
bool MoveToIndex(TNodesIF& nodes, TTreeNode* node, TTreeNode* parent, int index);
// The item and its ancestors, then their rows.
void Reevaluate(TEditTarget& target, TTreeNode* node);

std::unique_ptr<TEditStep> MakeInsertStep(TTreeNode* node, bool expandedParent);
std::unique_ptr<TEditStep> MakeRemoveStep(TTreeNode* node); // before the removal
std::unique_ptr<TEditStep> MakeMoveStep(const TNodePath& fromParent, int fromIndex, TTreeNode* moved);
std::unique_ptr<TEditStep> MakeFieldsStep(TTreeNode* node, TItemFields before, TItemFields after);
std::unique_ptr<TEditStep> MakeShiftStep(TTreeNode* node, int beginDays, int endDays); // before the shift
std::unique_ptr<TEditStep> MakeGroupStep(std::vector<std::unique_ptr<TEditStep>> steps);

} // namespace quillo
