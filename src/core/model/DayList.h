// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The day schedule: which to-dos concern one day, grouped by state.
#include "base/Date.h"
#include "model/EvalContext.h"

#include <array>
#include <string>
#include <vector>

namespace quillo {

class TNodesIF;
class TSchItem;

// The categories of the list, in window order.
enum TDayCategoryIndex { dcDelayed, dcCaution, dcInProgress, dcNotDone, dcDone, kDayCategories };

// Every to-do of the tree for which IsOnDate(date) holds, in tree order within its category.
struct TDayItems {
    std::array<std::vector<TSchItem*>, kDayCategories> ByCategory;
    bool AnyOnDate = false; // also true for a to-do on that day that no category lists
};
TDayItems CollectDayItems(const TNodesIF& nodes, const TEvalContext& ctx, TDate date);

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

TDayList BuildDayList(const TDayItems& items, const TEvalContext& ctx, TDate date);

// The pieces of the list, for a reader that writes rows as it finds them.
std::string DayRootText(const TEvalContext& ctx, TDate date);
std::vector<std::string> DayCategoryTexts(const TEvalContext& ctx, TDate date); // in window order
int DayCategoryOf(const TSchItem& item); // a TDayCategoryIndex; -1 when not listed
std::string DayRemainingText(const TSchItem& item, const TEvalContext& ctx, TDate date);

} // namespace quillo
