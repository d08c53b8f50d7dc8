// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/RowPath.h"

#include "model/TreeNode.h"

#include <algorithm>

namespace quillo {

TRowPath RowPathOf(const TTreeNode* node) {
    TRowPath path;
    for (; node; node = node->Parent())
        path.push_back({node->Index(), node->Text()});
    std::reverse(path.begin(), path.end());
    return path;
}

TTreeNode* FindRow(TTreeNode* root, const TRowPath& path) {
    if (!root || path.empty() || root->Text() != path.front().Text) return nullptr;
    TTreeNode* node = root;
    for (size_t i = 1; i < path.size() && node; ++i) {
        const TRowStep& step = path[i];
        const auto& children = node->Children();
        if (step.Index < node->Count() && children[static_cast<size_t>(step.Index)]->Text() == step.Text) {
            node = children[static_cast<size_t>(step.Index)];
            continue;
        }
        const auto found =
            std::find_if(children.begin(), children.end(), [&](const TTreeNode* c) { return c->Text() == step.Text; });
        node = found == children.end() ? nullptr : *found;
    }
    return node;
}

} // namespace quillo
