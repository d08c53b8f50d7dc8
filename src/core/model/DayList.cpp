// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/DayList.h"

#include "model/Calendar.h"
#include "model/NodesIF.h"
#include "model/SchItem.h"
#include "model/StateEval.h"

namespace quillo {

const char* const kNoDayItemsText = "この日が期間内の予定および遅延項目はありません";

TDayItems CollectDayItems(const TNodesIF& nodes, const TEvalContext& ctx, TDate date) {
    TDayItems out;
    for (TTreeNode* n = nodes.GetFirstNode(); n; n = n->GetNext()) {
        TSchItem* item = n->Data();
        if (!item || item->IsFolder() || !item->IsOnDate(ctx, date)) continue;
        out.AnyOnDate = true;
        if (const int c = DayCategoryOf(*item); c >= 0) out.ByCategory[size_t(c)].push_back(item);
    }
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
        return dcDelayed;
    case ssCaution:
        return dcCaution;
    case ssInProgress:
        return dcInProgress;
    case ssWaiting:
        return dcNotDone;
    case ssDone:
        return dcDone;
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

TDayList BuildDayList(const TDayItems& items, const TEvalContext& ctx, TDate date) {
    // A category shows the picture of a folder in the state it lists.
    static const int kImages[kDayCategories] = {niFolderWarning, niFolderCaution, niFolderInProgress, niFolderWaiting,
                                                niFolderDone};
    TDayList list;
    list.RootText = DayRootText(ctx, date);
    const std::vector<std::string> texts = DayCategoryTexts(ctx, date);
    for (size_t c = 0; c < kDayCategories; ++c) {
        if (items.ByCategory[c].empty()) continue;
        TDayCategory& category = list.Categories.emplace_back(TDayCategory{texts[c], kImages[c], {}});
        for (TSchItem* item : items.ByCategory[c])
            category.Rows.push_back({item->Name, item->Node ? item->Node->ImageIndex() : 0, DateText(item->EndDate),
                                     DayRemainingText(*item, ctx, date), item});
    }
    list.NothingListed = !items.AnyOnDate;
    return list;
}

} // namespace quillo
