// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How a tree list paints a row: the node's icon and its label clipped to the name column, then
// the sub-item cells in the header's geometry, each offered first to the custom-draw handler.
#include "model/ExSections.h"

#include <QStyle>

class QModelIndex;
class QPainter;
class QRect;
class QString;
class QStyleOptionViewItem;

namespace quillo {

class TTreeList;
class TTreeNode;

class TTreeListPainter {
public:
    explicit TTreeListPainter(const TTreeList& list);

    // The drop target of a drag shows as selected; while it has one, the selection does not.
    bool Selected(const TTreeNode* node, QStyle::State state) const;
    void PaintNode(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const;
    void DrawSubItems(QPainter* painter, const QStyleOptionViewItem& option, TTreeNode* node) const;

private:
    void DrawMarks(QPainter* painter, const TTreeNode* node, const QString& text, const QString& shown,
                   const QRect& rect) const;
    void DrawCell(QPainter* painter, const QStyleOptionViewItem& option, TTreeNode* node, int index,
                  TAlignment alignment, QRect rect) const;

    const TTreeList& mList;
};

} // namespace quillo
