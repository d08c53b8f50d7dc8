// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/NodesIF.h"

#include "model/SchItem.h"

#include <algorithm>

namespace quillo {

TNodesIF::TNodesIF() : mTop(new TTreeNode(this, "")) {
    mTop->mLevel = -1;
}

TNodesIF::~TNodesIF() {
    mObservers.clear();
    Clear();
    delete mTop;
}

void TNodesIF::AddObserver(INodesObserver* observer) {
    if (observer && std::find(mObservers.begin(), mObservers.end(), observer) == mObservers.end())
        mObservers.push_back(observer);
}

void TNodesIF::RemoveObserver(INodesObserver* observer) {
    mObservers.erase(std::remove(mObservers.begin(), mObservers.end(), observer), mObservers.end());
}

TTreeNode* TNodesIF::Add(TTreeNode* sibling, std::string text) {
    return AddObject(sibling, std::move(text), nullptr);
}

TTreeNode* TNodesIF::AddObject(TTreeNode* sibling, std::string text, TSchItem* data) {
    TTreeNode* parent = sibling ? ParentOrTop(sibling) : mTop;
    return Place(parent, parent->Count(), std::move(text), data);
}

TTreeNode* TNodesIF::AddChild(TTreeNode* parent, std::string text) {
    return AddChildObject(parent, std::move(text), nullptr);
}

TTreeNode* TNodesIF::AddChildObject(TTreeNode* parent, std::string text, TSchItem* data) {
    TTreeNode* p = parent ? parent : mTop;
    return Place(p, p->Count(), std::move(text), data);
}

TTreeNode* TNodesIF::AddChildFirst(TTreeNode* parent, std::string text) {
    return AddChildObjectFirst(parent, std::move(text), nullptr);
}

TTreeNode* TNodesIF::AddChildObjectFirst(TTreeNode* parent, std::string text, TSchItem* data) {
    return Place(parent ? parent : mTop, 0, std::move(text), data);
}

TTreeNode* TNodesIF::Insert(TTreeNode* sibling, std::string text) {
    if (!sibling) return Place(mTop, mTop->Count(), std::move(text), nullptr);
    return Place(ParentOrTop(sibling), sibling->mIndex, std::move(text), nullptr);
}

TTreeNode* TNodesIF::Place(TTreeNode* parent, int row, std::string text, TSchItem* data) {
    auto* node = new TTreeNode(this, std::move(text));
    node->mSubItems.SetData(data);
    for (INodesObserver* o : mObservers)
        o->BeginInsertNode(Outside(parent), row);
    Attach(node, parent, row);
    node->mLevel = parent->mLevel + 1;
    ++mCount;
    for (INodesObserver* o : mObservers)
        o->EndInsertNode(node);
    return node;
}

void TNodesIF::Attach(TTreeNode* node, TTreeNode* parent, int row) {
    auto& c = parent->mChildren;
    c.insert(c.begin() + row, node);
    for (size_t i = static_cast<size_t>(row); i < c.size(); ++i)
        c[i]->mIndex = static_cast<int>(i);
    node->mParent = Outside(parent);
}

void TNodesIF::Detach(TTreeNode* node) {
    auto& c = ParentOrTop(node)->mChildren;
    c.erase(c.begin() + node->mIndex);
    for (size_t i = static_cast<size_t>(node->mIndex); i < c.size(); ++i)
        c[i]->mIndex = static_cast<int>(i);
    node->mParent = nullptr;
}

void TNodesIF::Delete(TTreeNode* node) {
    if (!node || node->mOwner != this || node == mTop) return;
    TTreeNode* parent = node->mParent;
    int row = node->mIndex;
    for (INodesObserver* o : mObservers)
        o->BeginRemoveNode(node);
    Detach(node);
    for (INodesObserver* o : mObservers)
        o->EndRemoveNode(parent, row);
    DestroyDetached(node);
}

void TNodesIF::DestroyDetached(TTreeNode* node) {
    // Pre-order collection, destroyed in reverse: every node goes after all of its descendants,
    // without recursion (a file may nest a million levels).
    std::vector<TTreeNode*> order;
    order.push_back(node);
    for (size_t i = 0; i < order.size(); ++i)
        for (TTreeNode* child : order[i]->mChildren)
            order.push_back(child);
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        TTreeNode* n = *it;
        if (mOwnsData) delete n->mSubItems.Data();
        n->mSubItems.SetData(nullptr);
        n->mSubItems.Clear();
        for (INodesObserver* o : mObservers)
            o->NodeDeleted(n);
        n->mChildren.clear();
        delete n;
        --mCount;
    }
}

void TNodesIF::Clear() {
    if (mTop->mChildren.empty()) return;
    for (INodesObserver* o : mObservers)
        o->BeginClear();
    std::vector<TTreeNode*> tops;
    tops.swap(mTop->mChildren);
    for (auto it = tops.rbegin(); it != tops.rend(); ++it)
        DestroyDetached(*it);
    for (INodesObserver* o : mObservers)
        o->EndClear();
}

bool TNodesIF::MoveTo(TTreeNode* node, TTreeNode* destination, TNodeAttachMode mode) {
    if (!node || node->mOwner != this || node == mTop) return false;
    TTreeNode* newParent = nullptr;
    int row = 0;
    switch (mode) {
    case naInsert:
        if (!destination) return false;
        newParent = ParentOrTop(destination);
        row = destination->mIndex;
        break;
    case naAddChildFirst:
        newParent = destination ? destination : mTop;
        row = 0;
        break;
    case naAddChild:
        newParent = destination ? destination : mTop;
        row = newParent->Count();
        break;
    }
    if (newParent == node || (newParent != mTop && newParent->HasAsParent(node))) return false;
    TTreeNode* oldParent = ParentOrTop(node);
    if (oldParent == newParent && (row == node->mIndex || row == node->mIndex + 1)) return true; // stays put

    for (INodesObserver* o : mObservers)
        o->BeginMoveNode(node, Outside(newParent), row);
    int oldRow = node->mIndex;
    Detach(node);
    if (oldParent == newParent && row > oldRow) --row;
    Attach(node, newParent, row);
    int delta = newParent->mLevel + 1 - node->mLevel;
    if (delta != 0) {
        std::vector<TTreeNode*> stack{node};
        while (!stack.empty()) {
            TTreeNode* n = stack.back();
            stack.pop_back();
            n->mLevel += delta;
            for (TTreeNode* c : n->mChildren)
                stack.push_back(c);
        }
    }
    for (INodesObserver* o : mObservers)
        o->EndMoveNode(node);
    return true;
}

} // namespace quillo
