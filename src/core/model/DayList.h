// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The day schedule: which to-dos concern one day, grouped by state.
#include "base/Date.h"
#include "model/EvalContext.h"

#include <string>
#include <vector>

namespace quillo {

class TNodesIF;
class TSchItem;

struct TDayItem {
    std::string Name;
    TSchItem* Item;
};

// Every to-do of the tree, in tree order, for which IsOnDate(date) holds.
std::vector<TDayItem> CollectDayItems(const TNodesIF& nodes, const TEvalContext& ctx, TDate date);

struct TDayRow {
    std::string Name; // cp932, as the item holds it
    int Image;        // the item's node image in the main tree
    std::string EndText;
    std::string RemainingText;
    TSchItem* Item;
};

struct TDayCategory {
    std::string Text;
    int Image;
    std::vector<TDayRow> Rows;
};

struct TDayList {
    std::string RootText;                 // e.g. 今日 - 2024/05/03(金)の予定
    std::vector<TDayCategory> Categories; // in window order, only those with rows
    bool NothingListed = false;           // then the root shows kNoDayItemsText
};

constexpr int kDayRootImage = 15;
constexpr int kNoDayItemsImage = 16;
extern const char* const kNoDayItemsText;

TDayList BuildDayList(const std::vector<TDayItem>& items, const TEvalContext& ctx, TDate date);

// The pieces of the list, for a reader that writes rows as it finds them.
std::string DayRootText(const TEvalContext& ctx, TDate date);
std::vector<std::string> DayCategoryTexts(const TEvalContext& ctx, TDate date); // in window order
int DayCategoryOf(const TSchItem& item); // index into those texts; -1 when not listed
std::string DayRemainingText(const TSchItem& item, const TEvalContext& ctx, TDate date);

} // namespace quillo
