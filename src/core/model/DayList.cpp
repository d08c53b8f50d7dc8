// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/DayList.h"

#include "model/Calendar.h"
#include "model/NodesIF.h"
#include "model/SchItem.h"
#include "model/StateEval.h"

namespace quillo {

const char* const kNoDayItemsText = "この日が期間内の予定および遅延項目はありません";

std::vector<TDayItem> CollectDayItems(const TNodesIF& nodes, const TEvalContext& ctx, TDate date) {
    std::vector<TDayItem> out;
    for (TTreeNode* n = nodes.GetFirstNode(); n; n = n->GetNext())
        if (TSchItem* item = n->Data(); item && !item->IsFolder() && item->IsOnDate(ctx, date))
            out.push_back({item->Name, item});
    return out;
}

std::vector<std::string> DayCategoryTexts(const TEvalContext& ctx, TDate date) {
    const std::string rel = RelativeDayText(date, ctx.Today);
    // Window order: delayed, caution, in progress, not yet done, done.
    return {"遅延項目", "注意項目", "現在進行中の項目", rel + "を期間に含む未完了項目", rel + "を期間に含む完了項目"};
}

std::string DayRootText(const TEvalContext& ctx, TDate date) {
    return RelativeDayText(date, ctx.Today) + " - " + DateText(date) + "の予定";
}

int DayCategoryOf(const TSchItem& item) {
    switch (item.State) {
    case ssWarning:
        return 0;
    case ssCaution:
        return 1;
    case ssInProgress:
        return 2;
    case ssWaiting:
        return 3;
    case ssDone:
        return 4;
    default:
        return -1;
    }
}

std::string DayRemainingText(const TSchItem& item, const TEvalContext& ctx, TDate date) {
    const TCalendar& cal = *ctx.Calendar;
    switch (item.State) {
    case ssWarning:
        return ctx.Today >= date ? "遅延" : "0日間";
    case ssCaution:
    case ssInProgress:
        return cal.DayCountText(item, "残", date < ctx.Today ? ctx.Today : date, item.EndDate);
    case ssWaiting:
        return cal.DayCountText(item, "残", date, item.EndDate);
    case ssDone:
        return "完了";
    default:
        return "";
    }
}

TDayList BuildDayList(const std::vector<TDayItem>& items, const TEvalContext& ctx, TDate date) {
    TDayList list;
    list.RootText = DayRootText(ctx, date);
    const std::vector<std::string> texts = DayCategoryTexts(ctx, date);
    static const int kImages[] = {5, 4, 2, 1, 3};
    TDayCategory cats[5];
    for (int i = 0; i < 5; ++i)
        cats[i] = {texts[size_t(i)], kImages[i], {}};
    for (const TDayItem& entry : items) {
        const TSchItem& item = *entry.Item;
        const int slot = DayCategoryOf(item);
        if (slot < 0) continue;
        int image = item.Node ? item.Node->ImageIndex() : 0;
        cats[slot].Rows.push_back(
            {entry.Name, image, DateText(item.EndDate), DayRemainingText(item, ctx, date), entry.Item});
    }
    for (auto& c : cats)
        if (!c.Rows.empty()) list.Categories.push_back(std::move(c));
    list.NothingListed = items.empty();
    return list;
}

} // namespace quillo
