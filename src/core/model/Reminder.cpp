// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/Reminder.h"

#include "base/Clock.h"
#include "model/Calendar.h"

#include <algorithm>
#include <utility>

namespace quillo {

namespace {

// What an undo, a paste or a file keeps of an item when it makes a new one.
uint64_t SignatureOf(const TSchItem& item) {
    uint64_t h = 14695981039346656037ull; // FNV-1a
    auto mix = [&](const void* data, size_t size) {
        const auto* p = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < size; ++i)
            h = (h ^ p[i]) * 1099511628211ull;
    };
    mix(item.Name.data(), item.Name.size());
    const TDate dates[2] = {item.BeginDate, item.EndDate};
    mix(dates, sizeof dates);
    mix(&item.HolidayMode, sizeof item.HolidayMode);
    return h;
}

} // namespace

TReminder::TReminder(TNodesIF& nodes, const TCalendar& calendar, const TClock& clock, TDate day)
    : mNodes(nodes), mCalendar(calendar), mClock(clock), mDay(day) {}

bool TReminder::NewDay() {
    const TDate today = mClock.Today();
    if (today == mDay) return false;
    mDay = today;
    mStale = true;
    mLeft.clear();
    return true;
}

std::optional<TNotice> TReminder::Opened(bool announce) {
    // A new day is told whatever opened it.
    const bool fresh = NewDay();
    return Walk(announce || fresh, announce || fresh);
}

std::optional<TNotice> TReminder::Changed() {
    const bool fresh = NewDay();
    return Walk(true, fresh);
}

std::optional<TNotice> TReminder::Tick() {
    if (!NewDay()) return std::nullopt;
    return Walk(true, true);
}

std::optional<TNotice> TReminder::Walk(bool announce, bool startsDay) {
    const TEvalContext ctx{mDay, &mCalendar, nullptr};
    const bool reset = std::exchange(mStale, false);
    std::vector<TAlert> news;
    for (TTreeNode* n = mNodes.GetFirstNode(); n; n = n->GetNext()) {
        TSchItem* item = n->Data();
        if (!item) continue;
        if (reset) item->Told = -1;
        const TSchState state = AlertStateOf(*item, ctx);
        if (state == ssNone) continue;
        if (item->Told < 0 && !mLeft.empty()) item->Told = Adopt(*item);
        if (state <= item->Told) continue;
        item->Told = static_cast<int8_t>(state);
        if (state == ssCaution ? mOptions.Caution : mOptions.Warning) news.push_back({n, item, state});
    }
    if (!announce || !mOptions.Enabled || news.empty()) return std::nullopt;
    TNotice notice = MakeNotice(news, ctx);
    notice.StartsDay = startsDay;
    return notice;
}

void TReminder::KeepMarks(const TTreeNode* top) {
    if (mStale) return;
    const TTreeNode* first = top ? top : mNodes.GetFirstNode();
    const TTreeNode* stop = top ? top->GetNextSkipChildren() : nullptr;
    for (const TTreeNode* n = first; n && n != stop; n = n->GetNext())
        if (const TSchItem* item = n->Data(); item && item->Told >= 0) {
            mLeft.emplace_back(SignatureOf(*item), item->Told);
            mLeftSorted = false;
        }
}

int8_t TReminder::Adopt(const TSchItem& item) {
    if (!mLeftSorted) {
        std::erase_if(mLeft, [](const auto& left) { return left.second < 0; });
        std::sort(mLeft.begin(), mLeft.end());
        mLeftSorted = true;
    }
    const uint64_t signature = SignatureOf(item);
    auto it = std::lower_bound(mLeft.begin(), mLeft.end(), std::make_pair(signature, int8_t(-1)));
    // Equal signatures are sorted by their marks: the last one still there is the most severe.
    auto end = it;
    while (end != mLeft.end() && end->first == signature)
        ++end;
    while (end != it && (end - 1)->second < 0)
        --end;
    if (end == it) return -1;
    return std::exchange((end - 1)->second, int8_t(-1));
}

} // namespace quillo
