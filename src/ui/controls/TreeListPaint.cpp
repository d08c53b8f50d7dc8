// SPDX-License-Identifier: GPL-3.0-or-later
// Painting of the tree list: the node column with its clipped label, then the sub-item cells
// of each row in the header's geometry, then the column track line.
#include "base/Cp932.h"
#include "controls/TreeList.h"

#include <QApplication>
#include <QPainter>

namespace quillo {

namespace {
bool PaintSelected(const TTreeList* list, const TTreeNode* node, QStyle::State state) {
    // The drop target of a drag shows as selected; while it has one, the selection does not.
    if (list->DropTarget()) return list->DropTarget() == node;
    return !list->HideSelection && (state & QStyle::State_Selected);
}
} // namespace

void TTreeList::PaintNode(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    TTreeNode* node = TNodesModel::NodeOf(index);
    if (!node) return;
    const bool selected = PaintSelected(this, node, option.state);
    const bool focused = hasFocus();
    const QPalette::ColorGroup group = focused ? QPalette::Active : QPalette::Inactive;
    const QRect tr = TextRect(node);
    const int clipRight = FirstColumnWidth() - kTextMargin - horizontalOffset();
    const bool clipped = clipRight < tr.right() + 1;

    painter->save();
    if (selected) {
        QRect fill =
            RowSelect ? QRect(tr.left(), option.rect.top(), option.rect.right() - tr.left() + 1, option.rect.height())
                      : tr;
        if (!RowSelect && clipped) fill.setRight(clipRight - 1);
        painter->fillRect(fill, palette().brush(group, QPalette::Highlight));
    }
    if (mImages) {
        const int image = selected ? node->SelectedIndex() : node->ImageIndex();
        QIcon icon = mModel->Image(image);
        if (!icon.isNull()) icon.paint(painter, IconRect(index));
    }
    QFont f = font();
    if (option.state & QStyle::State_MouseOver) f.setUnderline(true);
    painter->setFont(f);
    QColor textColour = selected ? palette().color(group, QPalette::HighlightedText) : palette().color(QPalette::Text);
    if (!selected && (option.state & QStyle::State_MouseOver) && clipped)
        textColour = palette().color(QPalette::PlaceholderText);
    painter->setPen(textColour);
    QRect cr = tr;
    if (clipped) cr.setRight(clipRight - 1);
    cr.setLeft(cr.left() + 2);
    const QString text = QString::fromStdString(Cp932ToUtf8(node->Text()));
    const QString shown =
        clipped ? painter->fontMetrics().elidedText(text, Qt::ElideRight, std::max(cr.width(), 0)) : text;
    painter->setClipRect(QRect(option.rect.left(), option.rect.top(), std::max(0, clipRight - option.rect.left()),
                               option.rect.height()));
    painter->drawText(cr, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
    if (focused && selected && node == Selected() && (!RowSelect || ShowLines)) {
        QStyleOptionFocusRect fr;
        fr.rect = cr;
        fr.palette = palette();
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &fr, painter, this);
    }
    painter->restore();
}

void TTreeList::drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    TTreeNode* node = TNodesModel::NodeOf(index);
    QStyleOptionViewItem opt = option;
    // Selection is painted by PaintNode, so that the drop target and clipping rules hold.
    opt.state &= ~QStyle::State_Selected;
    if (node && PaintSelected(this, node, option.state)) opt.state |= QStyle::State_Selected;
    if (!node) return QTreeView::drawRow(painter, opt, index);
    QStyleOptionViewItem base = opt;
    base.state &= ~QStyle::State_Selected;
    QTreeView::drawRow(painter, base, index);
    PaintNode(painter, opt, index);
    DrawSubItems(painter, opt, node);
}

void TTreeList::DrawSubItems(QPainter* painter, const QStyleOptionViewItem& option, TTreeNode* node) const {
    if (!mHeader || !node->SubItems()) return;
    const bool selected = !HideSelection && (option.state & QStyle::State_Selected);
    const QPalette::ColorGroup group = hasFocus() ? QPalette::Active : QPalette::Inactive;
    painter->save();
    // One canvas for the whole row: what a handler changes stays for the following cells.
    painter->setPen(selected ? palette().color(group, QPalette::HighlightedText) : palette().color(QPalette::Text));
    painter->setBrush(selected ? palette().brush(group, QPalette::Highlight) : palette().brush(QPalette::Base));
    painter->setFont(font());
    const int count = node->SubItems()->Count();
    const int dx = -horizontalOffset();
    if (mExHeader) {
        for (int p = 1; p <= mExHeader->MaxPosition(); ++p) {
            TExSection* s = mExHeader->SectionByPosition(p);
            const int i = s->Index();
            if (i <= 0 || i > count) continue;
            QRect cell(s->Left() + dx, option.rect.top(), s->Width(), option.rect.height());
            DrawCell(painter, option, node, i - 1, s->Alignment, cell);
        }
    } else if (mPlainHeader) {
        for (int i = 1; i < mPlainHeader->count() && i <= count; ++i) {
            QRect cell(mPlainHeader->sectionPosition(i) + dx, option.rect.top(), mPlainHeader->sectionSize(i),
                       option.rect.height());
            DrawCell(painter, option, node, i - 1, taLeftJustify, cell);
        }
    }
    painter->restore();
}

void TTreeList::DrawCell(QPainter* painter, const QStyleOptionViewItem& option, TTreeNode* node, int index,
                         TAlignment alignment, QRect rect) const {
    bool defaultDraw = true;
    if (OnCustomDrawSubItem)
        OnCustomDrawSubItem(const_cast<TTreeList*>(this), painter, node, index, option.state, rect, defaultDraw);
    if (!defaultDraw) return;
    QRect r = rect.adjusted(kTextMargin, 0, -kTextMargin, 0);
    int flags = Qt::AlignVCenter | Qt::TextSingleLine;
    flags |= alignment == taCenter ? Qt::AlignHCenter : alignment == taRightJustify ? Qt::AlignRight : Qt::AlignLeft;
    const QString text = QString::fromStdString(node->SubItems()->Text(index));
    if (r.width() > 10) {
        painter->drawText(r, flags | Qt::TextDontClip, text);
    } else {
        painter->save();
        painter->setClipRect(rect);
        painter->drawText(r, flags, text);
        painter->restore();
    }
}

void TTreeList::paintEvent(QPaintEvent* event) {
    QTreeView::paintEvent(event);
    if (!mTrackShown) return;
    QPainter p(viewport());
    p.setCompositionMode(QPainter::RasterOp_NotDestination);
    p.drawLine(mTrackX, 0, mTrackX, viewport()->height());
}

} // namespace quillo
