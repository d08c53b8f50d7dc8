// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shows a TNodesIF to Qt views: every notice of the collection becomes the matching
// begin/end call, so views and persistent indexes follow adds, moves and deletes.
//
// A find filter shows only some nodes: then the model's rows are those nodes alone, so that a view
// lays out and keeps indexes for what it shows (hiding rows in the view costs a persistent index per
// hidden row, and every later change of the tree pays for all of them). The tree's changes
// meanwhile are shown as they come; a node added under a shown parent shows.
#include "model/NodesIF.h"

#include <QAbstractItemModel>
#include <QIcon>
#include <unordered_map>
#include <vector>

namespace quillo {

struct TShownRow;

class TNodesModel : public QAbstractItemModel, public INodesObserver {
    Q_OBJECT
public:
    explicit TNodesModel(TNodesIF& nodes, QObject* parent = nullptr);
    ~TNodesModel() override;

    TNodesIF& Nodes() const { return mNodes; }
    QModelIndex IndexOf(const TTreeNode* node) const; // invalid for a node the filter leaves out
    static TTreeNode* NodeOf(const QModelIndex& index);
    void SetImages(const std::vector<QIcon>* images) { mImages = images; }
    QIcon Image(int index) const;
    // A bulk change (loading, closing): one model reset instead of a notice per node.
    void BeginBulk();
    void EndBulk();
    bool InBulk() const { return mBulk > 0; }
    // Only `rows` (in tree order, each with its parent) until ShowAll; each is one reset. A change
    // of the tree inside a bulk change drops the filter: whoever set it sets it again.
    void ShowOnly(const std::vector<TShownRow>& rows);
    void ShowAll();
    bool Filtered() const { return mFiltered; }
    bool ShowsExactly(const std::vector<TShownRow>& rows) const; // filtered, and these rows
    bool Shown(const TTreeNode* node) const { return node && (!mFiltered || ShownRow(node) >= 0); }

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    void NodeExpandedChanged(const QModelIndex& index, bool expanded);

private:
    void BeginInsertNode(TTreeNode* parent, int row) override;
    void EndInsertNode(TTreeNode* node) override;
    void BeginRemoveNode(TTreeNode* node) override;
    void EndRemoveNode(TTreeNode* parent, int row) override;
    void BeginMoveNode(TTreeNode* node, TTreeNode* newParent, int newRow) override;
    void EndMoveNode(TTreeNode* node) override;
    void NodeChanged(TTreeNode* node, unsigned what) override;
    void BeginClear() override;
    void EndClear() override;
    void NodeDeleted(TTreeNode* node) override;

    // While filtered: the shown children of each shown parent (nullptr: the top level), in order.
    using TShownList = std::vector<TTreeNode*>;
    const TShownList* ShownChildren(const TTreeNode* parent) const;
    int ShownRow(const TTreeNode* node) const; // -1: not shown
    bool ParentShown(const TTreeNode* parent) const { return !parent || ShownRow(parent) >= 0; }
    static int RowBefore(const TShownList& list, int index); // how many come before tree row `index`
    void ForgetBelow(const TTreeNode* node);
    bool DropFilterInBulk();

    TNodesIF& mNodes;
    const std::vector<QIcon>* mImages = nullptr;
    int mBulk = 0;
    bool mFiltered = false;
    std::unordered_map<const TTreeNode*, TShownList> mShown;
    // A change announced and not yet done, as the view was told of it.
    enum TPendingKind { pkNone, pkInsert, pkRemove, pkMove, pkSilentMove };
    struct TPending {
        TPendingKind Kind = pkNone;
        TTreeNode* Node = nullptr;
        const TTreeNode* Parent = nullptr; // where it leaves (remove, move) or arrives (insert)
        int Row = 0;
    } mPending;
};

} // namespace quillo
