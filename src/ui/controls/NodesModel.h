// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shows a TNodesIF to Qt views: every notice of the collection becomes the matching
// begin/end call, so views and persistent indexes follow adds, moves and deletes.
#include "model/NodesIF.h"

#include <QAbstractItemModel>
#include <QIcon>
#include <vector>

namespace quillo {

class TNodesModel : public QAbstractItemModel, public INodesObserver {
    Q_OBJECT
public:
    explicit TNodesModel(TNodesIF& nodes, QObject* parent = nullptr);
    ~TNodesModel() override;

    TNodesIF& Nodes() const { return mNodes; }
    QModelIndex IndexOf(const TTreeNode* node) const;
    static TTreeNode* NodeOf(const QModelIndex& index);
    void SetImages(const std::vector<QIcon>* images) { mImages = images; }
    QIcon Image(int index) const;
    // A bulk change (loading, closing): one model reset instead of a notice per node.
    void BeginBulk();
    void EndBulk();
    bool InBulk() const { return mBulk > 0; }

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

    TNodesIF& mNodes;
    const std::vector<QIcon>* mImages = nullptr;
    int mBulk = 0;
};

} // namespace quillo
