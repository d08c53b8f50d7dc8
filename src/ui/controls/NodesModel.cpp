// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/NodesModel.h"

#include "base/Cp932.h"

namespace quillo {

TNodesModel::TNodesModel(TNodesIF& nodes, QObject* parent) : QAbstractItemModel(parent), mNodes(nodes) {
    mNodes.AddObserver(this);
}

TNodesModel::~TNodesModel() {
    mNodes.RemoveObserver(this);
}

TTreeNode* TNodesModel::NodeOf(const QModelIndex& index) {
    return index.isValid() ? static_cast<TTreeNode*>(index.internalPointer()) : nullptr;
}

QModelIndex TNodesModel::IndexOf(const TTreeNode* node) const {
    return node ? createIndex(node->Index(), 0, const_cast<TTreeNode*>(node)) : QModelIndex();
}

QIcon TNodesModel::Image(int index) const {
    if (!mImages || index < 0 || index >= int(mImages->size())) return {};
    return (*mImages)[size_t(index)];
}

QModelIndex TNodesModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0) return {};
    if (TTreeNode* p = NodeOf(parent)) return row < p->Count() ? createIndex(row, 0, p->Item(row)) : QModelIndex();
    return row < mNodes.TopCount() ? createIndex(row, 0, mNodes.TopItem(row)) : QModelIndex();
}

QModelIndex TNodesModel::parent(const QModelIndex& child) const {
    TTreeNode* n = NodeOf(child);
    return n ? IndexOf(n->Parent()) : QModelIndex();
}

int TNodesModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0) return 0;
    if (TTreeNode* p = NodeOf(parent)) return p->Count();
    return mNodes.TopCount();
}

int TNodesModel::columnCount(const QModelIndex&) const {
    return 1;
}

bool TNodesModel::hasChildren(const QModelIndex& parent) const {
    return rowCount(parent) > 0;
}

QVariant TNodesModel::data(const QModelIndex& index, int role) const {
    TTreeNode* n = NodeOf(index);
    if (!n) return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return QString::fromStdString(Cp932ToUtf8(n->Text()));
    case Qt::DecorationRole:
        return Image(n->ImageIndex());
    default:
        return {};
    }
}

Qt::ItemFlags TNodesModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::ItemIsDropEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsDragEnabled |
           Qt::ItemIsDropEnabled;
}

void TNodesModel::BeginBulk() {
    if (mBulk++ == 0) beginResetModel();
}

void TNodesModel::EndBulk() {
    if (--mBulk == 0) endResetModel();
}

void TNodesModel::BeginInsertNode(TTreeNode* parent, int row) {
    if (!mBulk) beginInsertRows(IndexOf(parent), row, row);
}
void TNodesModel::EndInsertNode(TTreeNode*) {
    if (!mBulk) endInsertRows();
}

void TNodesModel::BeginRemoveNode(TTreeNode* node) {
    if (!mBulk) beginRemoveRows(IndexOf(node->Parent()), node->Index(), node->Index());
}
void TNodesModel::EndRemoveNode(TTreeNode*, int) {
    if (!mBulk) endRemoveRows();
}

void TNodesModel::BeginMoveNode(TTreeNode* node, TTreeNode* newParent, int newRow) {
    if (!mBulk) beginMoveRows(IndexOf(node->Parent()), node->Index(), node->Index(), IndexOf(newParent), newRow);
}
void TNodesModel::EndMoveNode(TTreeNode*) {
    if (!mBulk) endMoveRows();
}

void TNodesModel::NodeChanged(TTreeNode* node, unsigned what) {
    if (mBulk) return;
    QModelIndex i = IndexOf(node);
    if (what & ncExpanded) emit NodeExpandedChanged(i, node->Expanded());
    QList<int> roles;
    if (what & ncText) roles << Qt::DisplayRole << Qt::EditRole;
    if (what & ncImage) roles << Qt::DecorationRole;
    if (what & ncSubItems) roles << Qt::UserRole;
    if (!roles.isEmpty()) emit dataChanged(i, i, roles);
}

void TNodesModel::BeginClear() {
    if (!mBulk) beginResetModel();
}
void TNodesModel::EndClear() {
    if (!mBulk) endResetModel();
}

} // namespace quillo
