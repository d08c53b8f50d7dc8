// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A row named by its way down from the root: at each level its place among the siblings and its
// text, so the same row can be found again in a tree read anew from its file.
#include <string>
#include <vector>

namespace quillo {

class TTreeNode;

struct TRowStep {
    int Index;
    std::string Text;
};
using TRowPath = std::vector<TRowStep>;

TRowPath RowPathOf(const TTreeNode* node); // empty for none; the root is the first step
// The row the path names below `root` (the tree's first node): at each level the sibling at its
// place if the text still matches, else the first with that text; none when a level has neither.
TTreeNode* FindRow(TTreeNode* root, const TRowPath& path);

} // namespace quillo
