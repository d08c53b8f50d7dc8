// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/NodesModel.h"

#include "base/Cp932.h"
#include "model/TreeFilter.h"

#include <algorithm>

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
    if (!node) return {};
    const int row = mFiltered ? ShownRow(node) : node->Index();
    return row < 0 ? QModelIndex() : createIndex(row, 0, const_cast<TTreeNode*>(node));
}

QIcon TNodesModel::Image(int index) const {
    if (!mImages || index < 0 || index >= int(mImages->size())) return {};
    return (*mImages)[size_t(index)];
}

QModelIndex TNodesModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0) return {};
    if (mFiltered) {
        const TShownList* shown = ShownChildren(NodeOf(parent));
        return shown && row < int(shown->size()) ? createIndex(row, 0, (*shown)[size_t(row)]) : QModelIndex();
    }
    if (TTreeNode* p = NodeOf(parent)) return row < p->Count() ? createIndex(row, 0, p->Item(row)) : QModelIndex();
    return row < mNodes.TopCount() ? createIndex(row, 0, mNodes.TopItem(row)) : QModelIndex();
}

QModelIndex TNodesModel::parent(const QModelIndex& child) const {
    TTreeNode* n = NodeOf(child);
    return n ? IndexOf(n->Parent()) : QModelIndex();
}

int TNodesModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0) return 0;
    if (mFiltered) {
        const TShownList* shown = ShownChildren(NodeOf(parent));
        return shown ? int(shown->size()) : 0;
    }
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

void TNodesModel::ShowOnly(const std::vector<TShownRow>& rows) {
    BeginBulk();
    mShown.clear();
    mShown[nullptr]; // the top level is there even when nothing shows
    const TTreeNode* lastParent = nullptr;
    TShownList* last = &mShown[nullptr];
    for (const TShownRow& row : rows) {
        const TTreeNode* parent = row.Node->Parent();
        if (parent != lastParent) {
            lastParent = parent;
            last = &mShown[parent];
        }
        last->push_back(row.Node);
    }
    mFiltered = true;
    EndBulk();
}

void TNodesModel::ShowAll() {
    BeginBulk();
    mFiltered = false;
    mShown.clear();
    EndBulk();
}

bool TNodesModel::ShowsExactly(const std::vector<TShownRow>& rows) const {
    if (!mFiltered) return false;
    size_t shown = 0;
    for (const auto& entry : mShown)
        shown += entry.second.size();
    return shown == rows.size() &&
           std::all_of(rows.begin(), rows.end(), [this](const TShownRow& row) { return ShownRow(row.Node) >= 0; });
}

const TNodesModel::TShownList* TNodesModel::ShownChildren(const TTreeNode* parent) const {
    const auto it = mShown.find(parent);
    return it == mShown.end() ? nullptr : &it->second;
}

int TNodesModel::RowBefore(const TShownList& list, int index) {
    const auto at =
        std::lower_bound(list.begin(), list.end(), index, [](const TTreeNode* n, int i) { return n->Index() < i; });
    return int(at - list.begin());
}

// The shown siblings stay in tree order through every change, so a node's row is a binary search.
int TNodesModel::ShownRow(const TTreeNode* node) const {
    const TShownList* shown = ShownChildren(node->Parent());
    if (!shown) return -1;
    const int row = RowBefore(*shown, node->Index());
    return row < int(shown->size()) && (*shown)[size_t(row)] == node ? row : -1;
}

void TNodesModel::ForgetBelow(const TTreeNode* node) {
    std::vector<const TTreeNode*> stack{node};
    while (!stack.empty()) {
        const auto it = mShown.find(stack.back());
        stack.pop_back();
        if (it == mShown.end()) continue;
        stack.insert(stack.end(), it->second.begin(), it->second.end());
        mShown.erase(it);
    }
}

// Inside a bulk change nothing is told, so the shown lists cannot follow: the reset at its end
// shows every node.
bool TNodesModel::DropFilterInBulk() {
    if (!mBulk) return false;
    mFiltered = false;
    mShown.clear();
    return true;
}

void TNodesModel::BeginInsertNode(TTreeNode* parent, int row) {
    mPending = {};
    if (DropFilterInBulk()) return;
    if (!mFiltered) return beginInsertRows(IndexOf(parent), row, row);
    if (!ParentShown(parent)) return;
    const int at = RowBefore(mShown[parent], row);
    beginInsertRows(IndexOf(parent), at, at);
    mPending = {pkInsert, nullptr, parent, at};
}

void TNodesModel::EndInsertNode(TTreeNode* node) {
    if (mBulk) return;
    if (!mFiltered) return endInsertRows();
    if (mPending.Kind != pkInsert) return;
    TShownList& shown = mShown[mPending.Parent];
    shown.insert(shown.begin() + mPending.Row, node);
    mPending = {};
    endInsertRows();
}

void TNodesModel::BeginRemoveNode(TTreeNode* node) {
    mPending = {};
    if (DropFilterInBulk()) return;
    const int row = IndexOf(node).row();
    if (row < 0) return;
    beginRemoveRows(IndexOf(node->Parent()), row, row);
    mPending = {pkRemove, node, node->Parent(), row};
}

void TNodesModel::EndRemoveNode(TTreeNode*, int) {
    if (mPending.Kind != pkRemove) return;
    if (mFiltered) {
        TShownList& shown = mShown[mPending.Parent];
        shown.erase(shown.begin() + mPending.Row);
        ForgetBelow(mPending.Node);
    }
    mPending = {};
    endRemoveRows();
}

void TNodesModel::BeginMoveNode(TTreeNode* node, TTreeNode* newParent, int newRow) {
    mPending = {};
    if (DropFilterInBulk()) return;
    TTreeNode* oldParent = node->Parent();
    if (!mFiltered) {
        beginMoveRows(IndexOf(oldParent), node->Index(), node->Index(), IndexOf(newParent), newRow);
        mPending = {pkMove, node, oldParent, node->Index()};
        return;
    }
    const int from = ShownRow(node);
    const bool arrives = ParentShown(newParent);
    const int to = arrives ? RowBefore(mShown[newParent], newRow) : -1;
    if (from >= 0 && arrives) {
        // Past hidden siblings only: the view sees no move (and Qt would refuse one).
        if (oldParent == newParent && (to == from || to == from + 1)) {
            mPending = {pkSilentMove, node, oldParent, from};
            return;
        }
        beginMoveRows(IndexOf(oldParent), from, from, IndexOf(newParent), to);
        mPending = {pkMove, node, oldParent, from};
    } else if (from >= 0) {
        beginRemoveRows(IndexOf(oldParent), from, from);
        mPending = {pkRemove, node, oldParent, from};
    } else if (arrives) {
        beginInsertRows(IndexOf(newParent), to, to);
        mPending = {pkInsert, node, newParent, to};
    }
}

void TNodesModel::EndMoveNode(TTreeNode* node) {
    const TPending pending = mPending;
    mPending = {};
    if (pending.Kind == pkNone || pending.Kind == pkSilentMove) return;
    if (!mFiltered) return endMoveRows();
    const auto arrive = [&] {
        TShownList& shown = mShown[node->Parent()];
        shown.insert(shown.begin() + RowBefore(shown, node->Index()), node);
    };
    if (pending.Kind == pkInsert) {
        arrive();
        return endInsertRows();
    }
    TShownList& left = mShown[pending.Parent];
    left.erase(left.begin() + pending.Row);
    if (pending.Kind == pkRemove) {
        ForgetBelow(node);
        return endRemoveRows();
    }
    arrive();
    endMoveRows();
}

void TNodesModel::NodeChanged(TTreeNode* node, unsigned what) {
    if (mBulk) return;
    QModelIndex i = IndexOf(node);
    if (!i.isValid()) return; // not shown
    if (what & ncExpanded) emit NodeExpandedChanged(i, node->Expanded());
    QList<int> roles;
    if (what & ncText) roles << Qt::DisplayRole << Qt::EditRole;
    if (what & ncImage) roles << Qt::DecorationRole;
    if (what & ncSubItems) roles << Qt::UserRole;
    if (!roles.isEmpty()) emit dataChanged(i, i, roles);
}

void TNodesModel::BeginClear() {
    if (DropFilterInBulk()) return;
    beginResetModel();
    mFiltered = false;
    mShown.clear();
}
void TNodesModel::EndClear() {
    if (!mBulk) endResetModel();
}

void TNodesModel::NodeDeleted(TTreeNode* node) {
    if (mFiltered) mShown.erase(node);
}

} // namespace quillo
