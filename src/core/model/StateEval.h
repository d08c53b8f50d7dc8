// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Derives what the tree list shows for each item (image, texts, 60 day cells) from its state.
#include "base/Date.h"
#include "model/EvalContext.h"

#include <string>

namespace quillo {

class TNodesIF;
class TSchItem;
class TTreeNode;

enum TNodeImage {
    niRoot = 0,
    niFolderWaiting = 1,
    niFolderInProgress = 2,
    niFolderDone = 3,
    niFolderCaution = 4,
    niFolderWarning = 5,
    niToDoInProgress = 6,
    niToDoWaiting = 7,
    niToDoDone = 8,
    niToDoCaution = 9,
    niToDoWarning = 10,
    niFolderEmpty = 11,
};

std::string DateText(TDate date);                     // "-" for 0, else yyyy/mm/dd(aaa)
std::string RelativeDayText(TDate date, TDate today); // 今日, 明日, ... 5日後, 3日前

void RefreshNode(const TEvalContext& ctx, TTreeNode* node, bool upward);
// What opening or closing a node changes: its three column texts, without the day cells.
void RefreshRowTexts(const TEvalContext& ctx, TTreeNode* node);
// Without `rowTexts` the column texts are left alone: a reader that writes them as it goes asks
// RowTexts instead of keeping three strings for every row.
void RefreshSubtree(const TEvalContext& ctx, TTreeNode* node, bool rowTexts = true);
void RefreshAll(const TEvalContext& ctx, TNodesIF& nodes, bool rowTexts = true);
// The three column texts a refresh gives a row (begin, end, information); unchanged for a node
// without an item.
void RowTexts(const TEvalContext& ctx, const TTreeNode* node, std::string out[3]);
// A to-do's information column for `state` on the day of `ctx`: 完了, 5日間, 3日残, 0日間, 遅延.
std::string ToDoInfoText(const TEvalContext& ctx, const TSchItem& item, int state);
// States and node images only, bottom-up: what a reader of states needs without the rows' texts
// and day cells.
void EvaluateStates(const TEvalContext& ctx, TNodesIF& nodes);

// The usual pair after one item changed: its state and its ancestors', then their rows.
void RefreshChangedItem(const TEvalContext& ctx, TTreeNode* node);

} // namespace quillo
