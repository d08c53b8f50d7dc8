// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which to-dos are in caution or warning on a day, and how a reminder words them.
#include "base/Date.h"
#include "model/EvalContext.h"
#include "model/SchItem.h"

#include <string>
#include <vector>

namespace quillo {

class TNodesIF;
class TTreeNode;

struct TAlert {
    const TTreeNode* Node;
    const TSchItem* Item;
    TSchState State; // ssCaution or ssWarning
};

// ssCaution or ssWarning when the to-do rule puts `item` there on the day of `ctx`, else ssNone.
// Evaluated afresh: the item's stored state is not read or written, so the day may differ from the
// one the tree was evaluated against. Folders give ssNone: they only repeat the to-dos below.
TSchState AlertStateOf(const TSchItem& item, const TEvalContext& ctx);

// Every to-do in caution or warning on the day of `ctx`, in tree order.
std::vector<TAlert> CollectAlerts(const TNodesIF& nodes, const TEvalContext& ctx);

// "遅延 2件・注意 3件", "遅延 2件" or "注意 3件"; empty when both are 0.
std::string AlertSummary(int warnings, int cautions);

struct TNoticeItem {
    std::string Name; // cp932, as the item holds it
    TSchState State;
    TDate EndDate;
    std::string RemainingText; // the information column's words on the notice's day
};

// One desktop notification for a set of alerts.
struct TNotice {
    TDate Day = 0;
    // The first notice of a run or of a new day: it supersedes what earlier ones showed.
    bool StartsDay = false;
    std::vector<TNoticeItem> Items; // warnings first, then cautions, each in tree order
    std::string Summary;            // UTF-8
    std::string Body;               // UTF-8: the first few names with their remaining days, a line each
    bool Critical = false;          // a warning is among the items
};

constexpr int kNoticeBodyLines = 5;
constexpr int kNoticeNameChars = 40; // a longer name is cut with "…"

TNotice MakeNotice(const std::vector<TAlert>& alerts, const TEvalContext& ctx);

} // namespace quillo
