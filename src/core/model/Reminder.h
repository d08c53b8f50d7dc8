// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Who is reminded when: the to-dos in caution or warning, once per item and state a day.
//
// The reminder keeps its own day, read from the clock at every call, so that a date change while
// the program runs (or sleeps through a suspend) starts a new day: everything is told again,
// evaluated against the new day. The window's start-up day, and the states the tree shows, are
// not touched: the reminder evaluates the to-do rule for itself (AlertStateOf).
//
// Within a day an item is told about once per state, and never again for a state no more severe
// than one it was already told about (a late item that is postponed into caution stays quiet).
// What was told is marked in the item itself (TSchItem::Told), so an item that takes over the
// storage of a deleted one starts unmarked. An item that leaves the tree leaves its mark under its
// name and dates, so that an undo, a paste or a reopened file that brings it back is not told again.
// What the options leave out is still marked: turning a kind on tells what enters it from then on.
// One reminder per tree.
#include "base/Date.h"
#include "model/Alerts.h"
#include "model/NodesIF.h"

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace quillo {

class TCalendar;
class TClock;

struct TReminderOptions {
    bool Enabled = true;
    bool Caution = true;
    bool Warning = true;
    bool operator==(const TReminderOptions&) const = default;
};

// Observe the node collection with it (it keeps the marks of items that leave), and call:
//   Opened(true)  once a schedule opened at start-up: the day's first notice;
//   Opened(false) after the user opened a schedule: what it shows now is taken as seen (unless
//                 the date changed since the last call: a new day is always told);
//   Changed()     after every command that may change states: edits, undo and redo, paste,
//                 import, dropped files, the holidays and the caution lead;
//   Tick()        from the minute timer: a new day's notice.
// Each returns the notice to show, if any.
class TReminder final : public INodesObserver {
public:
    // `day` is the window's start-up day; `calendar` is read at every call.
    TReminder(TNodesIF& nodes, const TCalendar& calendar, const TClock& clock, TDate day);

    const TReminderOptions& Options() const { return mOptions; }
    void SetOptions(const TReminderOptions& options) { mOptions = options; }
    TDate Day() const { return mDay; }

    std::optional<TNotice> Opened(bool announce);
    std::optional<TNotice> Changed();
    std::optional<TNotice> Tick();

    // INodesObserver: only items that leave matter.
    void BeginInsertNode(TTreeNode*, int) override {}
    void EndInsertNode(TTreeNode*) override {}
    void BeginRemoveNode(TTreeNode* node) override { KeepMarks(node); }
    void EndRemoveNode(TTreeNode*, int) override {}
    void BeginMoveNode(TTreeNode*, TTreeNode*, int) override {}
    void EndMoveNode(TTreeNode*) override {}
    void NodeChanged(TTreeNode*, unsigned) override {}
    void BeginClear() override { KeepMarks(nullptr); }
    void EndClear() override {}

private:
    bool NewDay(); // true when the clock's day is not ours any more: everything starts over
    std::optional<TNotice> Walk(bool announce, bool startsDay);
    void KeepMarks(const TTreeNode* top); // of the subtree about to leave; nullptr: the whole tree
    int8_t Adopt(const TSchItem& item);   // a mark left today by the same item; -1 when none

    TNodesIF& mNodes;
    const TCalendar& mCalendar;
    const TClock& mClock;
    TDate mDay;
    TReminderOptions mOptions;
    bool mStale = true; // the marks in the items are not of this day yet
    // Marks of items that left the tree today, by signature; sorted before they are looked up,
    // a mark taken back is set to -1.
    std::vector<std::pair<uint64_t, int8_t>> mLeft;
    bool mLeftSorted = true;
};

} // namespace quillo
