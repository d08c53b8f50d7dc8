// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The reminders of the main window: the core's decision (model/Reminder.h) shown through the
// desktop notifier. The window adds Observer() to its document's nodes, forwards the four moments
// below, sets the options from its menu, and connects the notifier's signals (Notifier()).
#include "desktop/DesktopNotifier.h"
#include "model/Reminder.h"

#include <QObject>

namespace quillo {

class TReminders : public QObject {
    Q_OBJECT
public:
    // `today` is the window's start-up day. Without a notifier one on the session bus is made.
    TReminders(TNodesIF& nodes, const TCalendar& calendar, const TClock& clock, TDate today,
               TDesktopNotifier* notifier = nullptr, QObject* parent = nullptr);

    INodesObserver& Observer() { return mReminder; }
    TDesktopNotifier& Notifier() { return *mNotifier; }
    const TReminderOptions& Options() const { return mReminder.Options(); }
    void SetOptions(const TReminderOptions& options) { mReminder.SetOptions(options); }
    TDate Day() const { return mReminder.Day(); }

    void Opened(bool atStartUp) { Show(mReminder.Opened(atStartUp)); } // after a schedule opened
    void Changed() { Show(mReminder.Changed()); }                      // after every command that may change states
    void Tick() { Show(mReminder.Tick()); }                            // every minute

private:
    void Show(const std::optional<TNotice>& notice) {
        if (notice) mNotifier->Show(*notice);
    }

    TReminder mReminder;
    TDesktopNotifier* mNotifier;
};

} // namespace quillo
