// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/InfoMarks.h"

#include "base/Cp932.h"
#include "base/StrUtil.h"
#include "controls/ExHeader.h"
#include "controls/RepeatMark.h"
#include "controls/TreeList.h"
#include "main/Images.h"
#include "model/SchItem.h"

#include <QPainter>
#include <QScrollBar>

namespace quillo {

std::string MemoLine(const std::string& memo) {
    std::string s = ReplaceAll(ReplaceAll(memo, "\r\n", " "), "\t", " ");
    return Cp932ToUtf8(CutToNameLength(s));
}

EInfoMarkClick InfoMarkClickAt(const TSchItem& item, int offset) {
    if (offset > 0 && offset < kInfoMarkWidth && !item.Memo.empty()) return icMemo;
    if (offset > kInfoMarkWidth && offset < 2 * kInfoMarkWidth && !item.Link.empty()) return icLink;
    return icNone;
}

std::string InfoMarkHint(const TSchItem& item, int offset) {
    if (OnRepeatMark(offset, item)) return RepeatMarkHint(item);
    if (offset >= 0 && offset < kInfoMarkWidth && !item.Memo.empty()) return "メモの編集|" + MemoLine(item.Memo);
    if (offset >= kInfoMarkWidth && offset < 2 * kInfoMarkWidth && !item.Link.empty())
        return "リンクを開く|" + Cp932ToUtf8(item.Link);
    return {};
}

void TrackInfoMarks(TTreeList& tree, TExHeader& header, int infoSection, int x, int y,
                    const std::function<void(const QString&)>& status) {
    TTreeNode* node = tree.GetNodeAt(x, y);
    const TExSection* s = header.GetSectionAt(x, 1);
    const TSchItem* item = node && node->Parent() ? node->Data() : nullptr;
    std::string hint;
    if (item && s && s->Index() == infoSection)
        hint = InfoMarkHint(*item, x + tree.horizontalScrollBar()->value() - s->Left());
    if (hint.empty()) {
        tree.setToolTip({});
        tree.viewport()->unsetCursor();
        return;
    }
    const auto [tip, rest] = SplitHint(hint);
    tree.setToolTip(QString::fromStdString(tip));
    status(QString::fromStdString(rest));
    tree.viewport()->setCursor(Qt::PointingHandCursor);
}

} // namespace quillo
