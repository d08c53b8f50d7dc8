// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/StateEval.h"

#include "model/Calendar.h"
#include "model/NodesIF.h"
#include "model/SchItem.h"

#include <algorithm>
#include <array>
#include <vector>

namespace quillo {

std::string DateText(TDate date) {
    return date == 0 ? "-" : FormatDateWithDay(date);
}

std::string RelativeDayText(TDate date, TDate today) {
    const long long diff = static_cast<long long>(date - today);
    switch (diff) {
    case 0:
        return "今日";
    case 1:
        return "明日";
    case 2:
        return "明後日";
    case -1:
        return "昨日";
    case -2:
        return "一昨日";
    default:
        return diff > 0 ? std::to_string(diff) + "日後" : std::to_string(-diff) + "日前";
    }
}

namespace {

int ImageFor(const TSchItem& item) {
    if (item.IsFolder() && item.Empty) return niFolderEmpty;
    static const int kFolder[] = {
        -1, niFolderDone, niFolderWaiting, niFolderInProgress, niFolderCaution, niFolderWarning};
    static const int kToDo[] = {-1, niToDoDone, niToDoWaiting, niToDoInProgress, niToDoCaution, niToDoWarning};
    if (item.State < ssDone || item.State > ssWarning) return -1;
    return item.IsFolder() ? kFolder[item.State] : kToDo[item.State];
}

} // namespace

std::string ToDoInfoText(const TEvalContext& ctx, const TSchItem& item, int state) {
    const TCalendar& cal = *ctx.Calendar;
    const bool beginAfterToday = item.BeginDate != 0 && item.BeginDate > ctx.Today;
    switch (state) {
    case ssDone:
        return "完了";
    case ssWaiting:
        return cal.DayCountText(item, "間", item.BeginDate, item.EndDate);
    case ssInProgress:
        return cal.DayCountText(item, "残", ctx.Today, item.EndDate);
    case ssCaution:
        return beginAfterToday ? cal.DayCountText(item, "間", item.BeginDate, item.EndDate)
                               : cal.DayCountText(item, "残", ctx.Today, item.EndDate);
    case ssWarning:
        return item.EndDate > ctx.Today ? "0日間" : "遅延";
    default:
        return "";
    }
}

void RowTexts(const TEvalContext& ctx, const TTreeNode* node, std::string out[3]) {
    const TSchItem* item = node->Data();
    if (!item) return;
    if (node->HasChildren() && node->Expanded()) {
        out[0] = "↓";
        out[1] = "↓";
        out[2].clear();
        return;
    }
    out[0] = DateText(item->BeginDate);
    out[1] = DateText(item->EndDate);
    if (!item->IsFolder())
        out[2] = ToDoInfoText(ctx, *item, item->State);
    else if (item->Empty)
        out[2].clear();
    else if (!node->Expanded())
        out[2] = StateWord(item->State);
}

namespace {

void SetRowTexts(const TEvalContext& ctx, TTreeNode* node, const TSchItem& item) {
    TSubItems* sub = node->SubItems();
    std::string row[3];
    RowTexts(ctx, node, row);
    // An open folder without rows below keeps its information text (RowTexts leaves it empty).
    const bool folderKeepsState = item.IsFolder() && !item.Empty && node->Expanded() && !node->HasChildren();
    for (int i = 0; i < 3; ++i)
        if (!(i == 2 && folderKeepsState)) sub->SetText(i, std::move(row[i]));
}

void RefreshOne(const TEvalContext& ctx, TTreeNode* node, bool texts = true) {
    TSchItem* item = node->Data();
    if (!item) return;
    if (node->Text() != item->Name) node->SetText(item->Name);
    if (int image = ImageFor(*item); image >= 0) node->SetImages(image);

    if (texts) SetRowTexts(ctx, node, *item);

    const TCalendar& cal = *ctx.Calendar;
    const TChart& chart = *ctx.Chart;
    const auto& levels = chart.ChartDayLevels();
    // A folder's cell is the highest of its children's cells that day.
    std::array<int8_t, kChartDays> children;
    children.fill(static_cast<int8_t>(kCellNothing));
    if (item->IsFolder() && !item->Empty)
        for (TTreeNode* child : node->Children())
            if (const TSchItem* c = child->Data())
                for (int i = 0; i < kChartDays; ++i)
                    children[size_t(i)] = std::max(children[size_t(i)], static_cast<int8_t>(c->GetDayCell(i)));
    for (int i = 0; i < kChartDays; ++i) {
        const TDate d = chart.ChartDate() + i;
        int value;
        if (item->State == ssWarning && d <= ctx.Today && d > item->EndDate) {
            value = kCellOverdue;
        } else if (item->IsFolder()) {
            value = children[size_t(i)];
        } else {
            const bool inPeriod =
                (item->BeginDate == 0 || item->BeginDate <= d) && (item->EndDate == 0 || item->EndDate >= d);
            value = inPeriod ? item->State : kCellNothing;
            const int level = levels[size_t(i)];
            if (value != kCellNothing &&
                (item->State == ssWaiting || item->State == ssInProgress || item->State == ssCaution) &&
                level > cal.HolidayLv && level > item->HolidayMode)
                value = kCellRest;
        }
        item->SetDayCell(i, value);
    }
    node->NotifySubItemsChanged();
}

} // namespace

void RefreshNode(const TEvalContext& ctx, TTreeNode* node, bool upward) {
    while (node) {
        RefreshOne(ctx, node);
        if (!upward || !node->Parent() || !node->Parent()->Parent()) break;
        node = node->Parent();
    }
}

void RefreshRowTexts(const TEvalContext& ctx, TTreeNode* node) {
    if (const TSchItem* item = node ? node->Data() : nullptr) {
        SetRowTexts(ctx, node, *item);
        node->NotifySubItemsChanged();
    }
}

void RefreshSubtree(const TEvalContext& ctx, TTreeNode* node, bool rowTexts) {
    if (!node) return;
    std::vector<TTreeNode*> order{node};
    for (size_t i = 0; i < order.size(); ++i)
        for (TTreeNode* c : order[i]->Children())
            order.push_back(c);
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        if (TSchItem* item = (*it)->Data()) item->UpdateState(ctx, false);
        RefreshOne(ctx, *it, rowTexts);
    }
}

void EvaluateStates(const TEvalContext& ctx, TNodesIF& nodes) {
    TTreeNode* root = nodes.GetFirstNode();
    if (!root) return;
    std::vector<TTreeNode*> order;
    for (TTreeNode* n = root->GetFirstChild(); n; n = n->GetNext())
        order.push_back(n);
    // Children come after their parent in tree order, so backwards is bottom-up.
    for (auto it = order.rbegin(); it != order.rend(); ++it)
        if (TSchItem* item = (*it)->Data()) {
            item->UpdateState(ctx, false);
            if (int image = ImageFor(*item); image >= 0) (*it)->SetImages(image);
        }
}

void RefreshAll(const TEvalContext& ctx, TNodesIF& nodes, bool rowTexts) {
    TTreeNode* root = nodes.GetFirstNode();
    if (!root) return;
    for (TTreeNode* child : root->Children())
        RefreshSubtree(ctx, child, rowTexts);
}

void RefreshChangedItem(const TEvalContext& ctx, TTreeNode* node) {
    if (TSchItem* item = node ? node->Data() : nullptr) {
        item->UpdateUpward(ctx);
        RefreshNode(ctx, node, true);
    }
}

} // namespace quillo
