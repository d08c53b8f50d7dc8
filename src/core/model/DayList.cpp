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

TDayList BuildDayList(const std::vector<TDayItem>& items, const TEvalContext& ctx, TDate date) {
    const std::string rel = RelativeDayText(date, ctx.Today);
    TDayList list;
    list.RootText = rel + " - " + DateText(date) + "の予定";
    // Window order: delayed, caution, in progress, not yet done, done.
    TDayCategory cats[] = {{"遅延項目", 5, {}},
                           {"注意項目", 4, {}},
                           {"現在進行中の項目", 2, {}},
                           {rel + "を期間に含む未完了項目", 1, {}},
                           {rel + "を期間に含む完了項目", 3, {}}};
    const TCalendar& cal = *ctx.Calendar;
    for (const TDayItem& entry : items) {
        const TSchItem& item = *entry.Item;
        int slot;
        std::string remaining;
        switch (item.State) {
        case ssWarning:
            slot = 0;
            remaining = ctx.Today >= date ? "遅延" : "0日間";
            break;
        case ssCaution:
        case ssInProgress:
            slot = item.State == ssCaution ? 1 : 2;
            remaining = cal.DayCountText(item, "残", date < ctx.Today ? ctx.Today : date, item.EndDate);
            break;
        case ssWaiting:
            slot = 3;
            remaining = cal.DayCountText(item, "残", date, item.EndDate);
            break;
        case ssDone:
            slot = 4;
            remaining = "完了";
            break;
        default:
            continue;
        }
        int image = item.Node ? item.Node->ImageIndex() : 0;
        cats[slot].Rows.push_back({entry.Name, image, DateText(item.EndDate), remaining, entry.Item});
    }
    for (auto& c : cats)
        if (!c.Rows.empty()) list.Categories.push_back(std::move(c));
    list.NothingListed = items.empty();
    return list;
}

} // namespace quillo
