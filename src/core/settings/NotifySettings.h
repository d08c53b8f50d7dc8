// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The reminder's choices, kept in a section of their own ([Notifications]) that the rest of the
// settings never name, so that a reader of the other sections passes over it.
#include "model/Reminder.h"

namespace quillo {

class TRegItems;
class TRegManager;

// NotifyOn, NotifyCaution, NotifyWarning: all on when the file does not say otherwise.
void AddNotifySettingsItems(TRegItems& items);

// A value that is not a whole number keeps its default: a typo must not silence the reminders.
TReminderOptions LoadNotifySettings(TRegManager& store);
// Writes all three; the first failure ("<file> に書き込めません") is thrown after all were tried.
void SaveNotifySettings(TRegManager& store, const TReminderOptions& options);

} // namespace quillo
