// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "base/Pool.h"
#include "model/SchItem.h"
#include "model/SubItems.h"

#include <memory>
#include <string>
#include <vector>

namespace quillo {

class TNodesIF;

// A node of a tree list. Its shape and properties change only through the owning TNodesIF
// (setters here forward to it), so that the one observer hears of every change.
class TTreeNode {
public:
    QUILLO_POOLED_STORAGE
    TTreeNode(const TTreeNode&) = delete;
    TTreeNode& operator=(const TTreeNode&) = delete;

    TNodesIF* Owner() const { return mOwner; }
    // A node bound to an item shows the item's name, kept once, in the item.
    const std::string& Text() const { return mSubItems.Data() ? mSubItems.Data()->Name : mText.str(); }
    void SetText(std::string text);
    int ImageIndex() const { return mImageIndex; }
    int SelectedIndex() const { return mSelectedIndex; }
    void SetImages(int index); // both, one notice
    bool Expanded() const { return mExpanded; }
    void SetExpanded(bool expanded);
    void Expand() { SetExpanded(true); }
    void Collapse() { SetExpanded(false); }

    TTreeNode* Parent() const { return mParent; } // nullptr at the top level
    int Index() const { return mIndex; }          // row among the siblings, O(1)
    int Level() const { return mLevel; }          // 0 at the top level
    int Count() const { return static_cast<int>(mChildren.size()); }
    bool HasChildren() const { return !mChildren.empty(); }
    TTreeNode* Item(int index) const { return mChildren[static_cast<size_t>(index)]; }
    const std::vector<TTreeNode*>& Children() const { return mChildren; }

    TTreeNode* GetFirstChild() const { return mChildren.empty() ? nullptr : mChildren.front(); }
    TTreeNode* GetNextSibling() const;
    TTreeNode* GetPrevSibling() const;
    TTreeNode* GetNext() const; // next in tree order (depth first, parents before children)
    TTreeNode* GetNextSkipChildren() const;
    bool HasAsParent(const TTreeNode* ancestor) const;

    TSubItems* SubItems() const { return &mSubItems; }
    TSchItem* Data() const { return mSubItems.Data(); }

    void NotifySubItemsChanged(); // after a batch of sub-item or item changes, for the view
    // Once an item is bound the node shows its name; the node's own copy is dropped.
    void DropOwnText() { mText.clear(); }

private:
    friend class TNodesIF;
    TTreeNode(TNodesIF* owner, std::string text) : mOwner(owner), mText(std::move(text)), mSubItems(this) {}
    const std::vector<TTreeNode*>& Siblings() const;

    TNodesIF* mOwner;
    TTreeNode* mParent = nullptr;
    TRareText mText; // only nodes without an item use it
    std::vector<TTreeNode*> mChildren;
    mutable TSubItems mSubItems; // held in the node: one allocation less per item
    int mIndex = 0;
    int mLevel = 0;
    short mImageIndex = 0;
    short mSelectedIndex = 0;
    bool mExpanded = false;
};

} // namespace quillo
