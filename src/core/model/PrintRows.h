// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a printed chart shows: its rows and their day cells over any run of days, read from the
// tree without changing it (no open mark, no stored cell, no modified mark).
#include "base/Date.h"
#include "model/EvalContext.h"

#include <cstdint>
#include <vector>

namespace quillo {

class TNodesIF;
class TTreeNode;

constexpr int kMaxPrintDays = 366;

struct TPrintChoice {
    TDate From = 0;       // the first day printed
    int Days = 60;        // 1..kMaxPrintDays
    bool AllOpen = false; // every folder open, else as the user left them
    bool FitWidth = true; // squeeze the days into the page's width, else keep them legible
};

struct TPrintRowRef {
    const TTreeNode* Node;
    bool Open; // its children are the rows that follow
};

// The root and, below every row shown open, its children. Without `allOpen` a row is open as the
// user left it: a folder a find bar holds open for its own purposes stays closed.
std::vector<TPrintRowRef> PrintRows(const TNodesIF& nodes, bool allOpen);

// The day cells of `rows`, row after row, `days` to a row from `first`: what the chart would
// paint with its first day there. An open row and the root have none (kCellNothing).
std::vector<int8_t> PrintDayCells(const TEvalContext& ctx, const std::vector<TPrintRowRef>& rows, TDate first,
                                  int days);

} // namespace quillo
