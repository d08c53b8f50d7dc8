// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/PrintRows.h"

#include "model/Calendar.h"
#include "model/NodesIF.h"
#include "model/SchItem.h"
#include "model/StateEval.h"

#include <algorithm>

namespace quillo {

std::vector<TPrintRowRef> PrintRows(const TNodesIF& nodes, bool allOpen) {
    std::vector<TPrintRowRef> rows;
    for (const TTreeNode* n = nodes.GetFirstNode(); n;) {
        const bool open = n->HasChildren() && (allOpen || nodes.StoredExpanded(n));
        rows.push_back({n, open});
        n = open ? n->GetNext() : n->GetNextSkipChildren();
    }
    return rows;
}

namespace {

// A closed row's cell is the highest over its subtree of what each item gives on its own: a to-do
// its cell, a folder the overdue mark. A folder takes the highest of its children, and overdue is
// the highest value there is, so the walk needs no cell per level, only one per day, however deep
// the tree. Nothing below an empty folder or a to-do counts, as in the refresh.
void SubtreeCells(const TEvalContext& ctx, const TTreeNode* top, TDate first, const std::vector<int8_t>& levels,
                  int8_t* out) {
    const int days = static_cast<int>(levels.size());
    std::fill(out, out + days, static_cast<int8_t>(kCellNothing));
    for (const TTreeNode* n = top; n;) {
        const TSchItem* item = n->Data();
        if (item)
            for (int i = 0; i < days; ++i)
                out[i] = std::max(
                    out[i], static_cast<int8_t>(DayCellOn(ctx, *item, first + i, levels[size_t(i)], kCellNothing)));
        const bool descend = item && item->IsFolder() && !item->Empty && n->HasChildren();
        if (descend) {
            n = n->GetFirstChild();
            continue;
        }
        // The next sibling, climbing no higher than the row itself.
        while (n != top && !n->GetNextSibling())
            n = n->Parent();
        n = n == top ? nullptr : n->GetNextSibling();
    }
}

} // namespace

std::vector<int8_t> PrintDayCells(const TEvalContext& ctx, const std::vector<TPrintRowRef>& rows, TDate first,
                                  int days) {
    std::vector<int8_t> levels(static_cast<size_t>(days));
    for (int i = 0; i < days; ++i)
        levels[size_t(i)] = static_cast<int8_t>(ctx.Calendar->LevelOfDate(first + i));
    std::vector<int8_t> cells(rows.size() * static_cast<size_t>(days), static_cast<int8_t>(kCellNothing));
    for (size_t r = 0; r < rows.size(); ++r)
        if (!rows[r].Open && rows[r].Node->Data())
            SubtreeCells(ctx, rows[r].Node, first, levels, cells.data() + r * static_cast<size_t>(days));
    return cells;
}

} // namespace quillo
