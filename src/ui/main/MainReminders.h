// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reminders in the main window: notices of to-dos that turn to caution or warning, at start-up, at
// a change of date and after edits; the 通知 menu's switches, kept in the settings file; and where
// a notice goes when the desktop has no notification service (the tray's balloon, else the status
// bar; never an error box).
#include "main/MainContext.h"
#include "model/NodesIF.h"
#include "settings/RegManager.h"

#include <array>
#include <functional>
#include <memory>
#include <string>

class QDialog;

namespace quillo {

class TDesktopNotifier;
class TReminders;
struct TReminderOptions;

class TMainReminders final : private INodesObserver {
public:
    struct THooks {
        std::function<void(TDate)> ShowDay;  // the day window on that day
        std::function<QDialog*()> DayWindow; // the one open, if any
        std::function<void()> BringForward;  // the main window, out of the tray if it is there
        // A message beside the tray icon; false when no tray host shows it.
        std::function<bool(const QString& title, const QString& text, bool critical)> Balloon;
    };
    // `settingsFile` may be empty (nothing is read or written). Without a notifier one on the
    // session bus is made.
    TMainReminders(const TMainContext& context, const std::string& settingsFile, THooks hooks,
                   TDesktopNotifier* notifier = nullptr);
    ~TMainReminders() override;

    TReminders& Reminders() { return *mReminders; }
    void LoadSettings(); // after the window's own settings
    void SaveSettings(); // throws as the other settings do
    void StartUp();      // the start-up is over, whatever it opened: the day's first notice
    void Tick();         // the minute timer: a new day's notice

private:
    using TCalendarKey = std::array<int, 10>;
    TCalendarKey CalendarKey() const;
    void Follow(); // at every idle update: what the last command changed
    void Toggle(bool TReminderOptions::*option);
    void Fallback(const QString& summary, const QString& body, bool critical);
    void OpenToday();

    void BeginInsertNode(TTreeNode*, int) override {}
    void EndInsertNode(TTreeNode*) override { mTouched = true; }
    void BeginRemoveNode(TTreeNode*) override {}
    void EndRemoveNode(TTreeNode*, int) override { mTouched = true; }
    void BeginMoveNode(TTreeNode*, TTreeNode*, int) override {}
    void EndMoveNode(TTreeNode*) override { mTouched = true; }
    void NodeChanged(TTreeNode*, unsigned what) override;
    void BeginClear() override { mReplaced = true; }
    void EndClear() override {}

    const TMainContext& mContext;
    THooks mHooks;
    TRegManager mStore;
    std::unique_ptr<TReminders> mReminders;
    bool mStarted = false;  // nothing is told before the start-up's schedule is open
    bool mReplaced = false; // a schedule was opened, made or closed
    bool mTouched = false;  // a node changed
    TCalendarKey mCalendarKey{};
};

} // namespace quillo
