// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// `list --grep TEXT [--state STATE] [--kana] [--date DAY]`: the rows the find bar of the main
// window shows, by the same rules (model/TreeFilter.h).
#include "base/Date.h"
#include "model/TreeFilter.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace quillo {

class TDocument;

extern const char* const kStateFilterNames; // "all, open, progress, alert, day"

// The query the options ask for, or a message that says what is wrong with them. `day` is the
// day of --state day: --date, else today, as the chart selects today when a schedule opens.
struct TListQuery {
    TFindQuery Query;
    std::string Error;
};
TListQuery ListQueryOf(const std::map<std::string, std::string>& values, bool kana, TDate day);

// The rows to list in tree order; nullopt when the query filters nothing (every row is listed).
// Opens the folders the filter opens, so that the rows read as in the window.
std::optional<std::vector<TShownRow>> FilteredRows(TDocument& document, const TEvalContext& ctx,
                                                   const TFindQuery& query);

} // namespace quillo
