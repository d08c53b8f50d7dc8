// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/Reminders.h"

namespace quillo {

TReminders::TReminders(TNodesIF& nodes, const TCalendar& calendar, const TClock& clock, TDate today,
                       TDesktopNotifier* notifier, QObject* parent)
    : QObject(parent), mReminder(nodes, calendar, clock, today),
      mNotifier(notifier ? notifier : new TDesktopNotifier(this)) {}

} // namespace quillo
