// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/TreeNode.h"

#include "model/NodesIF.h"

namespace quillo {

void TTreeNode::SetText(std::string text) {
    if (text == Text()) return;
    if (TSchItem* item = mSubItems.Data())
        item->Name = std::move(text);
    else
        mText = std::move(text);
    mOwner->Changed(this, INodesObserver::ncText);
}

void TTreeNode::SetImages(int index) {
    if (index == mImageIndex && index == mSelectedIndex) return;
    mImageIndex = mSelectedIndex = static_cast<short>(index);
    mOwner->Changed(this, INodesObserver::ncImage);
}

void TTreeNode::SetExpanded(bool expanded) {
    if (expanded == mExpanded) return;
    mExpanded = expanded;
    mOwner->Changed(this, INodesObserver::ncExpanded);
}

void TTreeNode::NotifySubItemsChanged() {
    mOwner->Changed(this, INodesObserver::ncSubItems);
}

const std::vector<TTreeNode*>& TTreeNode::Siblings() const {
    return mOwner->ParentOrTop(const_cast<TTreeNode*>(this))->mChildren;
}

TTreeNode* TTreeNode::GetNextSibling() const {
    const auto& s = Siblings();
    size_t next = static_cast<size_t>(mIndex) + 1;
    return next < s.size() ? s[next] : nullptr;
}

TTreeNode* TTreeNode::GetPrevSibling() const {
    return mIndex > 0 ? Siblings()[static_cast<size_t>(mIndex) - 1] : nullptr;
}

TTreeNode* TTreeNode::GetNextSkipChildren() const {
    for (const TTreeNode* n = this; n; n = n->mParent)
        if (TTreeNode* s = n->GetNextSibling()) return s;
    return nullptr;
}

TTreeNode* TTreeNode::GetNext() const {
    if (!mChildren.empty()) return mChildren.front();
    return GetNextSkipChildren();
}

bool TTreeNode::HasAsParent(const TTreeNode* ancestor) const {
    if (!ancestor || ancestor->mLevel >= mLevel) return false;
    const TTreeNode* n = this;
    while (n && n->mLevel > ancestor->mLevel)
        n = n->mParent;
    return n == ancestor;
}

} // namespace quillo
