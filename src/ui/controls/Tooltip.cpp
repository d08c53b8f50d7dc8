// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/Tooltip.h"

#include "base/Cp932.h"
#include "controls/TreeList.h"

namespace quillo {

TTooltip::TTooltip(TTreeList& list, TNodeWatch& watch)
    : QLabel(&list, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus), mList(list), mNode(watch) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setContentsMargins(1, 0, 0, 0);
    setAutoFillBackground(true);
    mTimer.setInterval(5000);
    mTimer.setSingleShot(true);
    connect(&mTimer, &QTimer::timeout, this, [this] { Hide(false); });
}

void TTooltip::Update(const QPoint& pos) {
    if (!mList.ToolTips) return;
    TTreeNode* node = mList.GetNodeAt(pos.x(), pos.y());
    if (node && !(mList.GetHitTestInfoAt(pos.x(), pos.y()) & (htOnLabel | htOnIcon))) node = nullptr;
    if (node) {
        const QRect tr = mList.TextRect(node);
        const QString text = QString::fromStdString(Cp932ToUtf8(node->Text()));
        const QFontMetrics metrics = mList.fontMetrics();
        const int textWidth = metrics.horizontalAdvance(text);
        const int available = mList.FirstColumnWidth() - (tr.left() + mList.horizontalOffset()) - kTextMargin - 1;
        if (available <= textWidth) {
            if (mNode == node) return; // shown, or expired until the pointer leaves
            Hide(true);
            QRect r(mList.viewport()->mapToGlobal(tr.topLeft()), tr.size());
            const int h = metrics.height();
            const int d = (r.height() - h) / 2 - 1;
            if (d > 0) r.moveTop(r.top() + d);
            r.setHeight(h);
            r.setWidth(textWidth + kTextMargin);
            setFont(mList.font());
            setPalette(mList.palette());
            setText(text);
            setGeometry(r);
            show();
            mNode = node;
            mTimer.start();
            return;
        }
    }
    if (mNode) Hide(true);
}

void TTooltip::Hide(bool forget) {
    hide();
    mTimer.stop();
    if (forget) mNode = nullptr;
}

} // namespace quillo
