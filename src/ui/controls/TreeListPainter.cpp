// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/TreeListPainter.h"

#include "base/Cp932.h"
#include "controls/TreeList.h"

#include <QApplication>
#include <QPainter>

namespace quillo {

TTreeListPainter::TTreeListPainter(const TTreeList& list) : mList(list) {}

bool TTreeListPainter::Selected(const TTreeNode* node, QStyle::State state) const {
    // The drop target of a drag shows as selected; while it has one, the selection does not.
    if (mList.DropTarget()) return mList.DropTarget() == node;
    return !mList.HideSelection && (state & QStyle::State_Selected);
}

void TTreeListPainter::PaintNode(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    TTreeNode* node = TNodesModel::NodeOf(index);
    if (!node) return;
    const TTreeList& list = mList;
    const bool selected = Selected(node, option.state);
    const bool focused = list.hasFocus();
    const QPalette::ColorGroup group = focused ? QPalette::Active : QPalette::Inactive;
    const QRect tr = list.TextRect(node);
    const int clipRight = list.FirstColumnWidth() - kTextMargin - list.horizontalOffset();
    const bool clipped = clipRight < tr.right() + 1;
    const QPalette& palette = list.palette();

    painter->save();
    if (selected) {
        QRect fill = list.RowSelect ? QRect(tr.left(), option.rect.top(), option.rect.right() - tr.left() + 1,
                                            option.rect.height())
                                    : tr;
        if (!list.RowSelect && clipped) fill.setRight(clipRight - 1);
        painter->fillRect(fill, palette.brush(group, QPalette::Highlight));
    }
    if (list.mImages) {
        const int image = selected ? node->SelectedIndex() : node->ImageIndex();
        QIcon icon = list.mModel->Image(image);
        if (!icon.isNull()) icon.paint(painter, list.IconRect(index));
    }
    QFont f = list.font();
    if (option.state & QStyle::State_MouseOver) f.setUnderline(true);
    painter->setFont(f);
    QColor textColour = selected ? palette.color(group, QPalette::HighlightedText) : palette.color(QPalette::Text);
    if (!selected && (option.state & QStyle::State_MouseOver) && clipped)
        textColour = palette.color(QPalette::PlaceholderText);
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
    if (list.OnLabelMarks) DrawMarks(painter, node, text, shown, cr);
    if (focused && selected && node == list.Selected() && (!list.RowSelect || list.ShowLines)) {
        QStyleOptionFocusRect fr;
        fr.rect = cr;
        fr.palette = palette;
        list.style()->drawPrimitive(QStyle::PE_FrameFocusRect, &fr, painter, &list);
    }
    painter->restore();
}

// Each mark is the label drawn again, dark on a marker colour, clipped to the marked characters.
void TTreeListPainter::DrawMarks(QPainter* painter, const TTreeNode* node, const QString& text, const QString& shown,
                                 const QRect& rect) const {
    const auto marks = mList.OnLabelMarks(node);
    if (marks.empty()) return;
    const int visible = int(shown == text ? text.size() : std::max<qsizetype>(shown.size() - 1, 0)); // before "…"
    const QFontMetrics metrics = painter->fontMetrics();
    for (auto [begin, end] : marks) {
        end = std::min(end, visible);
        if (begin < 0 || begin >= end) continue;
        const int left = rect.left() + metrics.horizontalAdvance(shown.left(begin));
        const QRect box(left, rect.top() + 1, metrics.horizontalAdvance(shown.mid(begin, end - begin)),
                        rect.height() - 2);
        painter->save();
        painter->setClipRect(box, Qt::IntersectClip);
        painter->fillRect(box, QColor(255, 222, 80));
        painter->setPen(Qt::black);
        painter->drawText(rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
        painter->restore();
    }
}

void TTreeListPainter::DrawSubItems(QPainter* painter, const QStyleOptionViewItem& option, TTreeNode* node) const {
    const TTreeList& list = mList;
    if (!list.mHeader || !node->SubItems()) return;
    const bool selected = !list.HideSelection && (option.state & QStyle::State_Selected);
    const QPalette::ColorGroup group = list.hasFocus() ? QPalette::Active : QPalette::Inactive;
    const QPalette& palette = list.palette();
    painter->save();
    // One canvas for the whole row: what a handler changes stays for the following cells.
    painter->setPen(selected ? palette.color(group, QPalette::HighlightedText) : palette.color(QPalette::Text));
    painter->setBrush(selected ? palette.brush(group, QPalette::Highlight) : palette.brush(QPalette::Base));
    painter->setFont(list.font());
    const int count = node->SubItems()->Count();
    const int dx = -list.horizontalOffset();
    if (const TExHeader* header = list.mExHeader) {
        for (int p = 1; p <= header->MaxPosition(); ++p) {
            TExSection* s = header->SectionByPosition(p);
            const int i = s->Index();
            if (i <= 0 || i > count) continue;
            QRect cell(s->Left() + dx, option.rect.top(), s->Width(), option.rect.height());
            DrawCell(painter, option, node, i - 1, s->Alignment, cell);
        }
    } else if (const QHeaderView* plain = list.mPlainHeader) {
        for (int i = 1; i < plain->count() && i <= count; ++i) {
            QRect cell(plain->sectionPosition(i) + dx, option.rect.top(), plain->sectionSize(i), option.rect.height());
            DrawCell(painter, option, node, i - 1, taLeftJustify, cell);
        }
    }
    painter->restore();
}

void TTreeListPainter::DrawCell(QPainter* painter, const QStyleOptionViewItem& option, TTreeNode* node, int index,
                                TAlignment alignment, QRect rect) const {
    bool defaultDraw = true;
    if (mList.OnCustomDrawSubItem)
        mList.OnCustomDrawSubItem(const_cast<TTreeList*>(&mList), painter, node, index, option.state, rect,
                                  defaultDraw);
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

} // namespace quillo
