// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/MainContext.h"

#include "controls/TreeList.h"
#include "model/Document.h"

#include <QApplication>

namespace quillo {

TTreeNode* TMainContext::SelectedNode() const {
    return Document.IsOpen() ? Tree.Selected() : nullptr;
}

TSchItem* TMainContext::SelectedItem() const {
    TTreeNode* node = SelectedNode();
    return node && node->Parent() ? node->Data() : nullptr;
}

void TMainContext::Reveal(TTreeNode* node) const {
    Tree.SetSelected(node);
    Tree.scrollTo(Tree.Model().IndexOf(node));
}

TBusyTree::TBusyTree(TTreeList& tree) : mTree(tree) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

TBusyTree::~TBusyTree() {
    QApplication::restoreOverrideCursor();
    mTree.Redraw();
}

} // namespace quillo
