// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ListFilter.h"

#include "base/TextMatcher.h"
#include "model/Document.h"

namespace quillo {

const char* const kStateFilterNames = "all, open, progress, alert, day";

TListQuery ListQueryOf(const std::map<std::string, std::string>& values, bool kana, TDate day) {
    TListQuery q;
    q.Query.SameKana = kana;
    q.Query.Day = day;
    if (auto it = values.find("--grep"); it != values.end()) {
        // A terminal in another encoding would give text that finds nothing, silently.
        if (!IsValidUtf8(it->second)) {
            q.Error = "--grep wants UTF-8 text";
            return q;
        }
        q.Query.Text = it->second;
    }
    if (auto it = values.find("--state"); it != values.end()) {
        static const std::map<std::string, TStateFilter> kNames = {
            {"all", sfAll}, {"open", sfNotDone}, {"progress", sfInProgress}, {"alert", sfAlert}, {"day", sfOnDay}};
        auto name = kNames.find(it->second);
        if (name == kNames.end()) {
            q.Error = std::string("--state wants one of ") + kStateFilterNames + ": " + it->second;
            return q;
        }
        q.Query.State = name->second;
    }
    if (values.count("--date") && q.Query.State != sfOnDay) q.Error = "list --date goes with --state day";
    return q;
}

std::optional<std::vector<TShownRow>> FilteredRows(TDocument& document, const TEvalContext& ctx,
                                                   const TFindQuery& query) {
    TTreeFilter filter(document.Nodes());
    filter.SetQuery(query);
    TFilterResult result = filter.Apply(ctx);
    if (result.Everything) return std::nullopt;
    return std::move(result.Rows);
}

} // namespace quillo
