// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/NotifySettings.h"

#include "base/Exceptions.h"
#include "base/StrUtil.h"
#include "settings/RegManager.h"

#include <optional>

namespace quillo {

namespace {
struct TRow {
    const char* Name;
    const char* Key;
    bool TReminderOptions::*Field;
};
constexpr const char* kSection = "Notifications";
const TRow kRows[] = {{"NotifyOn", "Enabled", &TReminderOptions::Enabled},
                      {"NotifyCaution", "Caution", &TReminderOptions::Caution},
                      {"NotifyWarning", "Warning", &TReminderOptions::Warning}};
} // namespace

void AddNotifySettingsItems(TRegItems& items) {
    for (const TRow& row : kRows)
        items.Add(row.Name, kSection, row.Key, "1");
}

TReminderOptions LoadNotifySettings(TRegManager& store) {
    TReminderOptions options;
    for (const TRow& row : kRows) {
        TRegFiler& filer = store.ItemFiler(row.Name);
        int value = 0;
        if (filer.Item() && TryStrToInt(filer.ReadString(), value)) options.*row.Field = value != 0;
    }
    return options;
}

void SaveNotifySettings(TRegManager& store, const TReminderOptions& options) {
    std::optional<std::string> firstError;
    for (const TRow& row : kRows) {
        try {
            store.ItemFiler(row.Name).WriteBool(options.*row.Field);
        } catch (const EQuilloError& e) {
            if (!firstError) firstError = e.what();
        }
    }
    if (firstError) throw EQuilloError(*firstError);
}

} // namespace quillo
