// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/SchItem.h"

#include "base/StrUtil.h"
#include "model/Calendar.h"
#include "model/TreeNode.h"

#include <algorithm>
#include <vector>

namespace quillo {

const std::string& TRareText::str() const {
    static const std::string kEmpty;
    return mText ? *mText : kEmpty;
}

void TRareText::Assign(std::string text) {
    if (text.empty())
        mText.reset();
    else if (mText)
        *mText = std::move(text);
    else
        mText = std::make_unique<std::string>(std::move(text));
}

TSchItem::TSchItem(bool folder, std::string name, TTreeNode* node, bool checked, TDate beginDate, TDate endDate,
                   int holidayMode, std::string memo)
    : Name(std::move(name)), Memo(std::move(memo)), Node(node), BeginDate(beginDate), EndDate(endDate),
      HolidayMode(holidayMode), Checked(checked), mFolder(folder) {}

void TSchItem::SetDayCell(int index, int value) {
    if (index >= 0 && index < kChartDays) DayCells[static_cast<size_t>(index)] = static_cast<int8_t>(value);
}

int TSchItem::GetDayCell(int index) const {
    return (index >= 0 && index < kChartDays) ? DayCells[static_cast<size_t>(index)] : kCellNothing;
}

// Through the node when there is one, so that its view hears of the change.
void TSchItem::SetName(std::string name) {
    if (Node && Node->Data() == this)
        Node->SetText(std::move(name));
    else
        Name = std::move(name);
}

// Memo: "%" first so that markers inside the text survive; restored last on reading.
std::string TSchItem::GetExtraText() const {
    std::string out;
    if (!Memo.empty()) {
        std::string m = ReplaceAll(Memo, "%", "%25;");
        m = ReplaceAll(m, "\t", "%09;");
        m = ReplaceAll(m, "\r", "%0D;");
        m = ReplaceAll(m, "\n", "%0A;");
        out += "%mb;" + m + "%me;";
    }
    if (!Link.empty()) out += "%lb;" + ReplaceAll(Link, "%", "%25;") + "%le;";
    // After the two pairs every reader of the format knows, which ignore what stands outside them.
    if (!Repeat.empty()) out += "%rb;" + Repeat.str() + "%re;";
    return out;
}

void TSchItem::SetExtraText(std::string_view text) {
    auto between = [&](std::string_view open, std::string_view close, std::string_view& part) {
        size_t b = text.find(open);
        size_t e = text.find(close);
        if (b == std::string_view::npos || e == std::string_view::npos || e <= b) return false;
        size_t start = b + open.size();
        part = e >= start ? text.substr(start, e - start) : std::string_view{};
        return true;
    };
    std::string_view part;
    if (between("%mb;", "%me;", part)) {
        std::string m = ReplaceAll(part, "%09;", "\t");
        m = ReplaceAll(m, "%0D;", "\r");
        m = ReplaceAll(m, "%0A;", "\n");
        Memo = ReplaceAll(m, "%25;", "%");
    } else {
        Memo.clear();
    }
    if (between("%lb;", "%le;", part))
        Link = ReplaceAll(part, "%25;", "%");
    else
        Link.clear();
    if (between("%rb;", "%re;", part))
        Repeat = std::string(part);
    else
        Repeat.clear();
}

TSchState ToDoStateOn(const TSchItem& item, const TEvalContext& ctx) {
    const TDate today = ctx.Today;
    if (item.Checked) return ssDone;
    const bool beginAfterToday = item.BeginDate != 0 && item.BeginDate > today;
    if (item.EndDate == 0) return beginAfterToday ? ssWaiting : ssInProgress;
    const TCalendar& cal = *ctx.Calendar;
    const int limit = cal.AlertCount + 1;
    const int n =
        beginAfterToday ? cal.CountDays(item, item.BeginDate, item.EndDate) : cal.CountDays(item, today, item.EndDate);
    if (n < 1) return ssWarning;
    if (n > limit) return beginAfterToday ? ssWaiting : ssInProgress;
    if (!beginAfterToday) return ssCaution; // counted from today already: the same count again
    return cal.CountDays(item, today, item.EndDate) > limit ? ssWaiting : ssCaution;
}

void TSchItem::UpdateState(const TEvalContext& ctx, bool /*recursive*/) {
    State = ToDoStateOn(*this, ctx);
}

void TSchItem::UpdateUpward(const TEvalContext& ctx) {
    // Iterative: the walk ends at the root node, which carries no item.
    for (TSchItem* item = this; item && item->Node && item->Node->Parent();) {
        item->UpdateState(ctx, false);
        item = item->Node->Parent()->Data();
    }
}

bool TSchItem::IsOnDate(const TEvalContext& ctx, TDate date) const {
    if (State == ssWarning) {
        if (!(BeginDate <= date)) return false;
        return EndDate <= ctx.Today ? date <= ctx.Today : date <= EndDate;
    }
    const bool hasBegin = BeginDate != 0, hasEnd = EndDate != 0;
    if (!hasBegin && !hasEnd) return true;
    if (!hasBegin) return date <= EndDate;
    if (!hasEnd) return BeginDate <= date;
    return BeginDate <= date && date <= EndDate;
}

std::unique_ptr<TSchToDo> TSchToDo::Create(std::string name, TTreeNode* node, bool checked, TDate beginDate,
                                           TDate endDate, int holidayMode, std::string memo) {
    return std::unique_ptr<TSchToDo>(
        new TSchToDo(false, std::move(name), node, checked, beginDate, endDate, holidayMode, std::move(memo)));
}

std::unique_ptr<TSchItem> TSchToDo::Clone(TTreeNode* node) const {
    return Create(Name, node, Checked, BeginDate, EndDate, HolidayMode, Memo);
}

void TSchToDo::ShiftDates(int beginDays, int endDays) {
    if (BeginDate > 0) BeginDate += beginDays;
    if (EndDate > 0) EndDate += endDays;
    if (BeginDate > 0 && EndDate > 0 && EndDate < BeginDate) {
        if (beginDays < 1)
            BeginDate = EndDate;
        else
            EndDate = BeginDate;
    }
}

std::unique_ptr<TSchFolder> TSchFolder::Create(std::string name, TTreeNode* node, bool checked, TDate beginDate,
                                               TDate endDate, int holidayMode, std::string memo) {
    return std::unique_ptr<TSchFolder>(
        new TSchFolder(true, std::move(name), node, checked, beginDate, endDate, holidayMode, std::move(memo)));
}

std::unique_ptr<TSchItem> TSchFolder::Clone(TTreeNode* node) const {
    return Create(Name, node, Checked, BeginDate, EndDate, HolidayMode, Memo);
}

void TSchFolder::ShiftDates(int beginDays, int endDays) {
    // Same as forwarding to every child in child order, without recursion.
    if (!Node) return;
    const TTreeNode* stop = Node->GetNextSkipChildren();
    for (TTreeNode* n = Node->GetFirstChild(); n && n != stop; n = n->GetNext())
        if (TSchItem* item = n->Data(); item && !item->IsFolder()) item->ShiftDates(beginDays, endDays);
}

void TSchFolder::AggregateChildren() {
    TDate begin = -1, end = -1;
    bool empty = true, allChecked = true;
    int state = ssNone;
    for (TTreeNode* child : Node->Children()) {
        TSchItem* c = child->Data();
        if (!c) continue;
        if (!c->Empty) empty = false;
        if (c->BeginDate == 0)
            begin = 0;
        else if (begin == -1)
            begin = c->BeginDate;
        else if (begin > c->BeginDate && begin != 0)
            begin = c->BeginDate;
        if (c->EndDate == 0)
            end = 0;
        else if (c->EndDate > end)
            end = c->EndDate;
        if (!c->Checked) allChecked = false;
        state = std::max(state, static_cast<int>(c->State));
    }
    BeginDate = begin == -1 ? 0 : begin;
    EndDate = end == -1 ? 0 : end;
    Empty = empty;
    Checked = allChecked;
    State = empty ? ssDone : std::max(state, static_cast<int>(ssDone));
}

void TSchFolder::UpdateState(const TEvalContext& ctx, bool recursive) {
    if (!Node) return;
    if (recursive) {
        // Iterative, children before their folder: a deep tree must not run out of stack.
        std::vector<TTreeNode*> below;
        for (TTreeNode *n = Node->GetNext(), *stop = Node->GetNextSkipChildren(); n && n != stop; n = n->GetNext())
            below.push_back(n);
        for (auto it = below.rbegin(); it != below.rend(); ++it)
            if (TSchItem* item = (*it)->Data()) item->UpdateState(ctx, false);
    }
    AggregateChildren();
}

void TSchFolder::ApplyExpanded() {
    if (Node) Node->SetExpanded(Expanded);
}

TSchItem* BindItem(TTreeNode* node, std::unique_ptr<TSchItem> item) {
    TSubItems* sub = node->SubItems();
    sub->Pad(TSubItems::kItemColumns);
    TSchItem* raw = item.release();
    sub->SetData(raw);
    node->DropOwnText();
    return raw;
}

const char* StateWord(int state) {
    switch (state) {
    case ssDone:
        return "完了";
    case ssWaiting:
        return "待機";
    case ssInProgress:
        return "進行";
    case ssCaution:
        return "注意";
    case ssWarning:
        return "警告";
    default:
        return "";
    }
}

} // namespace quillo
