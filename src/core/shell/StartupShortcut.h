// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The start-up entry's names in the autostart folder: an older release used a shorter name.
#include <string>

namespace quillo {

extern const char* const kStartupShortcutName;    // QuilloryPlan.lnk (made .desktop on this desktop)
extern const char* const kOldStartupShortcutName; // Quillo.lnk

// An old entry is renamed to the new name, or removed when an entry of the new name exists.
void MigrateStartupShortcut();

} // namespace quillo
