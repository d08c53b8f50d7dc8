// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "model/TreeNode.h"

#include <string>
#include <vector>

namespace quillo {

// A listener of a node collection (the tree list's model adapter, the watch over held nodes).
// Every change is announced before and after, in the order a QAbstractItemModel needs.
class INodesObserver {
public:
    enum TChange : unsigned { ncText = 1, ncImage = 2, ncExpanded = 4, ncSubItems = 8 };
    virtual ~INodesObserver() = default;
    virtual void BeginInsertNode(TTreeNode* parent, int row) = 0;
    virtual void EndInsertNode(TTreeNode* node) = 0;
    virtual void BeginRemoveNode(TTreeNode* node) = 0;
    virtual void EndRemoveNode(TTreeNode* parent, int row) = 0;
    // newRow counts the destination's children before the node leaves its old place.
    virtual void BeginMoveNode(TTreeNode* node, TTreeNode* newParent, int newRow) = 0;
    virtual void EndMoveNode(TTreeNode* node) = 0;
    virtual void NodeChanged(TTreeNode* node, unsigned what) = 0;
    virtual void BeginClear() = 0;
    virtual void EndClear() = 0;
    // Deletion notice of one node: its sub-items are already gone.
    virtual void NodeDeleted(TTreeNode* /*node*/) {}
};

enum TNodeAttachMode { naInsert, naAddChildFirst, naAddChild };

// A view that opens folders for itself (a find filter showing what it found) says which open
// marks are its own, so that files, clipped text and history steps keep the user's marks.
class IHeldOpen {
public:
    virtual ~IHeldOpen() = default;
    virtual bool HoldsOpen(const TTreeNode* node) const = 0;
};

class TNodesIF {
public:
    TNodesIF();
    ~TNodesIF();
    TNodesIF(const TNodesIF&) = delete;
    TNodesIF& operator=(const TNodesIF&) = delete;

    // Listeners are told in the order they were added; none may be added or removed during a notice.
    void AddObserver(INodesObserver* observer);
    void RemoveObserver(INodesObserver* observer);
    // When set, deleting a node also deletes its schedule item (the main tree owns its items;
    // the day list only points at them).
    void SetOwnsData(bool owns) { mOwnsData = owns; }
    void SetHeldOpen(const IHeldOpen* held) { mHeldOpen = held; }
    const IHeldOpen* HeldOpen() const { return mHeldOpen; }
    // The mark a file stores for the node: the user's own, not one a view holds open.
    bool StoredExpanded(const TTreeNode* node) const {
        return node->Expanded() && !(mHeldOpen && mHeldOpen->HoldsOpen(node));
    }

    TTreeNode* Add(TTreeNode* sibling, std::string text);
    TTreeNode* AddObject(TTreeNode* sibling, std::string text, TSchItem* data);
    TTreeNode* AddChild(TTreeNode* parent, std::string text);
    TTreeNode* AddChildObject(TTreeNode* parent, std::string text, TSchItem* data);
    TTreeNode* AddChildFirst(TTreeNode* parent, std::string text);
    TTreeNode* AddChildObjectFirst(TTreeNode* parent, std::string text, TSchItem* data);
    TTreeNode* Insert(TTreeNode* sibling, std::string text); // before the sibling

    void Delete(TTreeNode* node); // the node and its subtree, children first
    void Clear();
    // Moves a subtree; false (nothing changes) for a move into its own subtree or onto itself.
    bool MoveTo(TTreeNode* node, TTreeNode* destination, TNodeAttachMode mode);

    int Count() const { return mCount; } // all nodes
    int TopCount() const { return mTop->Count(); }
    TTreeNode* TopItem(int row) const { return mTop->Item(row); }
    TTreeNode* GetFirstNode() const { return mTop->GetFirstChild(); }

    // Called by the node setters.
    void Changed(TTreeNode* node, unsigned what) {
        for (INodesObserver* o : mObservers)
            o->NodeChanged(node, what);
    }

private:
    friend class TTreeNode;
    TTreeNode* Place(TTreeNode* parentOrTop, int row, std::string text, TSchItem* data);
    void Attach(TTreeNode* node, TTreeNode* parentOrTop, int row);
    void Detach(TTreeNode* node);
    TTreeNode* ParentOrTop(TTreeNode* node) const { return node->mParent ? node->mParent : mTop; }
    TTreeNode* Outside(TTreeNode* parentOrTop) const { return parentOrTop == mTop ? nullptr : parentOrTop; }
    void DestroyDetached(TTreeNode* node);

    TTreeNode* mTop; // invisible holder of the top-level nodes
    std::vector<INodesObserver*> mObservers;
    const IHeldOpen* mHeldOpen = nullptr;
    int mCount = 0;
    bool mOwnsData = false;
};

} // namespace quillo
