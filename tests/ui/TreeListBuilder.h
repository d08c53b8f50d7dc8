// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Builds a tree list with an extended header from a short text description, for tests:
//   header: "name:120 begin:80 end:80"       (caption:width, in order)
//   tree:   "root|x|y\n  child|1|2\n  other"  (two spaces per level, "|" separates sub-items)
#include "controls/ExHeader.h"
#include "controls/TreeList.h"

#include <QVBoxLayout>
#include <QWidget>
#include <memory>
#include <string>

namespace quillo::test {

struct TTreeListBuilder {
    TNodesIF Nodes; // outlives the list that shows it
    std::unique_ptr<QWidget> Host;
    TExHeader* Header = nullptr;
    TTreeList* List = nullptr;

    TTreeListBuilder(const std::string& header, const std::string& tree, int width = 600, int height = 300);
    TTreeNode* Node(const std::string& text) const; // first node with that text
};

} // namespace quillo::test
