// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/TreeList.h"

#include "controls/Cp932Validator.h"

#include "base/Cp932.h"

#include <QApplication>
#include <QDrag>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QValidator>

namespace quillo {

namespace {
const char* const kNodeMime = "application/x-quillo-node";

class TTreeListDelegate : public QStyledItemDelegate {
public:
    explicit TTreeListDelegate(TTreeList* list) : QStyledItemDelegate(list), mList(list) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        mList->PaintNode(painter, option, index);
    }
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override {
        auto* edit = new QLineEdit(parent);
        edit->setValidator(new TCp932Validator(edit, [list = mList](const QString& notice) {
            if (list->OnEditFitted) list->OnEditFitted(list, notice.toStdString());
        }));
        edit->setFrame(true);
        return edit;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        static_cast<QLineEdit*>(editor)->setText(index.data(Qt::EditRole).toString());
    }
    void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override {
        // The tree changes only through its collection: hand the text to the window.
        mList->FinishEdit(TNodesModel::NodeOf(index), static_cast<QLineEdit*>(editor)->text(), true);
    }
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override {
        // From the label to the end of the name column, as wide as a name can be shown.
        QRect r = mList->TextRect(TNodesModel::NodeOf(index));
        r.setRight(std::max(r.right(), mList->FirstColumnWidth() - mList->horizontalScrollBar()->value() - 1));
        r.setTop(option.rect.top());
        r.setBottom(option.rect.bottom());
        editor->setGeometry(r);
    }

private:
    TTreeList* mList;
};
} // namespace

TTreeList::TTreeList(TNodesIF& items, QWidget* parent)
    : QTreeView(parent), mItems(items), mModel(new TNodesModel(mItems, this)), mTooltip(new TTooltip(*this, mWatch)) {
    setModel(mModel);
    setItemDelegate(new TTreeListDelegate(this));
    setHeaderHidden(true);
    setUniformRowHeights(true);
    setItemsExpandable(false); // gestures go through ToggleExpanded and the collection
    setExpandsOnDoubleClick(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    setMouseTracking(true);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    QPalette pal = palette();
    pal.setColor(QPalette::Inactive, QPalette::Highlight, pal.color(QPalette::Button));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText, pal.color(QPalette::ButtonText));
    setPalette(pal);
    connect(mModel, &TNodesModel::NodeExpandedChanged, this,
            [this](const QModelIndex& i, bool expanded) { ShowExpanded(TNodesModel::NodeOf(i), expanded); });
    // A node marked open while it had no rows (the root of a new schedule, a folder whose rows a
    // filter leaves out) opens with its first.
    connect(mModel, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex& parent, int first, int last) {
        TTreeNode* node = parent.isValid() ? TNodesModel::NodeOf(parent) : nullptr;
        if (node && node->Expanded() && first == 0 && mModel->rowCount(parent) == last + 1 && !isExpanded(parent))
            ShowExpanded(node, true);
    });
    connect(itemDelegate(), &QAbstractItemDelegate::closeEditor, this,
            [this](QWidget*, QAbstractItemDelegate::EndEditHint hint) {
                if (hint == QAbstractItemDelegate::RevertModelCache && mEditing) FinishEdit(mEditing, {}, false);
                mEditing = nullptr;
            });
    SyncGeometry();
}

TTreeList::~TTreeList() {
    delete mTooltip; // its node goes with the watch below, not with the widget's children later
    setModel(nullptr);
    delete mModel; // stops observing the collection
    mModel = nullptr;
}

void TTreeList::SetHeaderControl(QWidget* header) {
    auto* ex = qobject_cast<TExHeader*>(header);
    auto* plain = qobject_cast<QHeaderView*>(header);
    if (header && !plain) return; // not a header: the previous binding stays
    if (mHeader) disconnect(mHeader, nullptr, this, nullptr);
    mHeader = header;
    mExHeader = ex;
    mPlainHeader = ex ? nullptr : plain;
    if (header) {
        connect(header, &QObject::destroyed, this, [this] {
            mHeader = nullptr;
            mExHeader = nullptr;
            mPlainHeader = nullptr;
            SyncGeometry();
        });
        if (ex) {
            ex->SetFixColumn(0);
            connect(ex, &TExHeader::GeometryChanged, this, &TTreeList::SyncGeometry);
        } else {
            connect(plain, &QHeaderView::sectionResized, this, &TTreeList::SyncGeometry);
            connect(plain, &QHeaderView::sectionMoved, this, &TTreeList::SyncGeometry);
        }
    }
    SyncGeometry();
}

void TTreeList::SetImages(const std::vector<QIcon>* images) {
    mImages = images;
    mModel->SetImages(images);
    Redraw();
}

void TTreeList::SyncGeometry() {
    int total = viewport()->width();
    if (mExHeader) {
        total = 0;
        for (int p = 0; p <= mExHeader->MaxPosition(); ++p)
            total += mExHeader->SectionByPosition(p)->Width();
    } else if (mPlainHeader) {
        total = mPlainHeader->length();
    }
    QTreeView::header()->setStretchLastSection(!mHeader);
    if (mHeader) setColumnWidth(0, total);
    viewport()->update(); // not Redraw: a divider being dragged keeps its track line
}

int TTreeList::FirstColumnWidth() const {
    if (mExHeader && mExHeader->Sections().Count() > 0) return mExHeader->Sections().Items(0)->Width();
    if (mPlainHeader && mPlainHeader->count() > 0) return mPlainHeader->sectionSize(0);
    return viewport()->width();
}

void TTreeList::Redraw() {
    mTrackShown = false;
    viewport()->update();
}

void TTreeList::BeginUpdate() {
    mTooltip->Hide(true);
    mModel->BeginBulk();
}

void TTreeList::EndUpdate() {
    mModel->EndBulk();
    if (mModel->InBulk()) return;
    // After a reset the view lays out lazily, so this only records which rows are open.
    bool limited = false;
    for (TTreeNode* n = mItems.GetFirstNode(); n; n = n->GetNext()) {
        if (!n->Expanded() || !n->HasChildren()) continue;
        if (Showable(n))
            setExpanded(mModel->IndexOf(n), true);
        else
            limited = true;
    }
    if (limited && OnDepthLimit) OnDepthLimit(this);
    Redraw();
}

void TTreeList::DrawTrackLine(TExSection* section, int width, TSectionTrackState state) {
    if (!section) return;
    const int x = section->Left() + width - horizontalOffset();
    switch (state) {
    case tsTrackBegin:
        mTrackX = x;
        mTrackShown = true;
        break;
    case tsTrackMove:
        mTrackX = x;
        mTrackShown = true;
        break;
    case tsTrackEnd:
        mTrackShown = false;
        break;
    }
    viewport()->update();
}

TTreeNode* TTreeList::Selected() const {
    return TNodesModel::NodeOf(currentIndex());
}

void TTreeList::SetSelected(TTreeNode* node) {
    if (!node) {
        setCurrentIndex({});
        return;
    }
    setCurrentIndex(mModel->IndexOf(node));
}

TTreeNode* TTreeList::GetNodeAt(int x, int y) const {
    return TNodesModel::NodeOf(indexAt(QPoint(std::max(x, 0), y)));
}

TTreeNode* TTreeList::TopItem() const {
    return TNodesModel::NodeOf(indexAt(QPoint(1, 1)));
}

QRect TTreeList::IconRect(const QModelIndex& index) const {
    QRect item = visualRect(index);
    if (!mImages) return QRect(item.left(), item.top(), 0, item.height());
    const int size = iconSize().isValid() ? iconSize().width() : 16;
    return QRect(item.left() + 2, item.top() + (item.height() - size) / 2, size > 0 ? size : 16, size > 0 ? size : 16);
}

QRect TTreeList::TextRect(const TTreeNode* node) const {
    QModelIndex index = mModel->IndexOf(node);
    if (!index.isValid()) return {};
    QRect item = visualRect(index);
    QRect icon = IconRect(index);
    const int left = mImages ? icon.right() + 4 : item.left() + 2;
    const QString text = QString::fromStdString(Cp932ToUtf8(node->Text()));
    return QRect(left, item.top(), fontMetrics().horizontalAdvance(text) + 4, item.height());
}

bool TTreeList::IsClipped(const TTreeNode* node) const {
    return FirstColumnWidth() - kTextMargin < TextRect(node).right() + 1 + horizontalOffset();
}

unsigned TTreeList::GetHitTestInfoAt(int x, int y) const {
    if (y < 0) return htAbove;
    if (y >= viewport()->height()) return htBelow;
    QModelIndex index = indexAt(QPoint(std::max(x, 0), y));
    if (!index.isValid()) return htNowhere;
    TTreeNode* node = TNodesModel::NodeOf(index);
    const QRect item = visualRect(index);
    const int buttonLeft = item.left() - indentation();
    if (x < buttonLeft) return htOnIndent;
    if (x < item.left()) return node->HasChildren() ? htOnButton : htOnIndent;
    if (mImages && x <= IconRect(index).right() + 1) return htOnIcon;
    if (x <= TextRect(node).right()) return htOnLabel;
    return htOnRight;
}

void TTreeList::ShowExpanded(TTreeNode* node, bool expanded) {
    if (expanded && !Showable(node)) {
        if (OnDepthLimit) OnDepthLimit(this);
        return;
    }
    setExpanded(mModel->IndexOf(node), expanded);
}

void TTreeList::ToggleExpanded(TTreeNode* node) {
    if (!node || !node->HasChildren()) return;
    if (!Showable(node)) { // shown closed whatever its state: a click can only be refused
        if (OnDepthLimit) OnDepthLimit(this);
        return;
    }
    bool allow = true;
    if (node->Expanded()) {
        if (OnCollapsing) OnCollapsing(this, node, allow);
        if (!allow) return;
        node->Collapse();
        if (OnCollapsed) OnCollapsed(this, node);
    } else {
        if (OnExpanding) OnExpanding(this, node, allow);
        if (!allow) return;
        node->Expand();
        if (OnExpanded) OnExpanded(this, node);
    }
}

bool TTreeList::EditNode(TTreeNode* node) {
    if (!node) return false;
    return edit(mModel->IndexOf(node), QAbstractItemView::EditKeyPressed, nullptr);
}

bool TTreeList::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    if (ReadOnly) return false;
    if (trigger != QAbstractItemView::AllEditTriggers && !(editTriggers() & trigger))
        return QTreeView::edit(index, trigger, event); // refuses, as the trigger is not ours
    TTreeNode* node = TNodesModel::NodeOf(index);
    if (!node) return false;
    mTooltip->Hide(false);
    bool allow = true;
    if (OnEditing) OnEditing(this, node, allow);
    if (!allow) return false;
    mEditing = node;
    if (QTreeView::edit(index, trigger, event)) return true;
    mEditing = nullptr;
    return false;
}

void TTreeList::FinishEdit(TTreeNode* node, const QString& text, bool accepted) {
    if (!node || node != mEditing) return;
    mEditing = nullptr;
    if (!accepted) {
        if (OnCancelEdit) OnCancelEdit(this, node);
        return;
    }
    std::string s = Utf8ToCp932(text.toStdString()).value_or(Utf8ToCp932Lossy(text.toStdString()));
    if (OnEdited) OnEdited(this, node, s);
}

void TTreeList::mousePressEvent(QMouseEvent* e) {
    const QPoint pt = e->position().toPoint();
    mTooltip->Hide(false);
    if (e->button() == Qt::LeftButton && (GetHitTestInfoAt(pt.x(), pt.y()) & htOnButton))
        ToggleExpanded(GetNodeAt(pt.x(), pt.y()));
    QTreeView::mousePressEvent(e);
    if (OnMouseDown) OnMouseDown(this, e->button(), e->modifiers(), pt.x(), pt.y());
}

void TTreeList::mouseMoveEvent(QMouseEvent* e) {
    const QPoint pt = e->position().toPoint();
    mTooltip->Update(pt);
    QTreeView::mouseMoveEvent(e);
    if (OnMouseMove) OnMouseMove(this, e->buttons(), e->modifiers(), pt.x(), pt.y());
}

void TTreeList::mouseReleaseEvent(QMouseEvent* e) {
    const QPoint pt = e->position().toPoint();
    QTreeView::mouseReleaseEvent(e);
    if (OnMouseUp) OnMouseUp(this, e->button(), e->modifiers(), pt.x(), pt.y());
    if (e->button() == Qt::LeftButton && OnClick) OnClick(this);
}

void TTreeList::mouseDoubleClickEvent(QMouseEvent* e) {
    const QPoint pt = e->position().toPoint();
    QTreeView::mouseDoubleClickEvent(e);
    if (e->button() != Qt::LeftButton) return;
    if (OnDblClick) OnDblClick(this);
    if (GetHitTestInfoAt(pt.x(), pt.y()) & (htOnLabel | htOnIcon)) ToggleExpanded(GetNodeAt(pt.x(), pt.y()));
}

void TTreeList::keyPressEvent(QKeyEvent* e) {
    TTreeNode* node = Selected();
    if (node && state() != EditingState) {
        const bool expanded = node->Expanded() && node->HasChildren();
        switch (e->key()) {
        case Qt::Key_Right:
        case Qt::Key_Plus:
            if (node->HasChildren() && !node->Expanded()) return ToggleExpanded(node);
            break;
        case Qt::Key_Left:
        case Qt::Key_Minus:
            if (expanded) return ToggleExpanded(node);
            break;
        default:
            break;
        }
    }
    QTreeView::keyPressEvent(e);
}

void TTreeList::leaveEvent(QEvent* event) {
    mTooltip->Hide(true);
    QTreeView::leaveEvent(event);
}

void TTreeList::PaintNode(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    mPainter.PaintNode(painter, option, index);
}

void TTreeList::drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    TTreeNode* node = TNodesModel::NodeOf(index);
    QStyleOptionViewItem opt = option;
    // Selection is painted by PaintNode, so that the drop target and clipping rules hold.
    opt.state &= ~QStyle::State_Selected;
    if (node && mPainter.Selected(node, option.state)) opt.state |= QStyle::State_Selected;
    if (!node) return QTreeView::drawRow(painter, opt, index);
    QStyleOptionViewItem base = opt;
    base.state &= ~QStyle::State_Selected;
    QTreeView::drawRow(painter, base, index);
    mPainter.PaintNode(painter, opt, index);
    mPainter.DrawSubItems(painter, opt, node);
}

// The column track line over the rows.
void TTreeList::paintEvent(QPaintEvent* event) {
    QTreeView::paintEvent(event);
    if (!mTrackShown) return;
    QPainter p(viewport());
    p.setCompositionMode(QPainter::RasterOp_NotDestination);
    p.drawLine(mTrackX, 0, mTrackX, viewport()->height());
}

void TTreeList::startDrag(Qt::DropActions) {
    TTreeNode* node = Selected();
    if (!node) return;
    mTooltip->Hide(true);
    auto* mime = new QMimeData;
    mime->setData(kNodeMime, QByteArray::number(reinterpret_cast<quintptr>(node)));
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    drag->exec(Qt::MoveAction);
    mDropTarget = nullptr;
    Redraw();
    const QPoint pt = viewport()->mapFromGlobal(QCursor::pos());
    if (OnEndDrag) OnEndDrag(this, rect().contains(pt) ? this : nullptr, pt.x(), pt.y());
}

void TTreeList::dragEnterEvent(QDragEnterEvent* e) {
    if (e->source() == this && e->mimeData()->hasFormat(kNodeMime))
        e->acceptProposedAction();
    else
        e->ignore();
}

void TTreeList::dragMoveEvent(QDragMoveEvent* e) {
    if (e->source() != this) return e->ignore();
    const QPoint pt = e->position().toPoint();
    bool accept = false;
    if (OnDragOver) OnDragOver(this, e->source(), pt.x(), pt.y(), accept);
    TTreeNode* target = accept ? GetNodeAt(pt.x(), pt.y()) : nullptr;
    if (target != mDropTarget) {
        mDropTarget = target;
        viewport()->update();
    }
    if (accept)
        e->acceptProposedAction();
    else
        e->ignore();
}

void TTreeList::dragLeaveEvent(QDragLeaveEvent* e) {
    mDropTarget = nullptr;
    viewport()->update();
    e->accept();
}

void TTreeList::dropEvent(QDropEvent* e) {
    const QPoint pt = e->position().toPoint();
    if (e->source() == this && OnDragDrop) OnDragDrop(this, e->source(), pt.x(), pt.y());
    mDropTarget = nullptr;
    e->setDropAction(Qt::IgnoreAction); // the handler moved what it wanted; nothing to remove
    e->accept();
}

void TTreeList::scrollContentsBy(int dx, int dy) {
    QTreeView::scrollContentsBy(dx, dy);
    mTooltip->Hide(true);
    if (mExHeader) mExHeader->setOffset(horizontalOffset());
    if (mTrackShown) viewport()->update();
}

} // namespace quillo
