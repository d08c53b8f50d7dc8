// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/Alerts.h"

#include "base/Cp932.h"
#include "model/NodesIF.h"
#include "model/StateEval.h"

namespace quillo {

TSchState AlertStateOf(const TSchItem& item, const TEvalContext& ctx) {
    // Done and undated items never reach caution: no day counting for them.
    if (item.IsFolder() || item.Checked || item.EndDate == 0) return ssNone;
    const TSchState state = ToDoStateOn(item, ctx);
    return state == ssCaution || state == ssWarning ? state : ssNone;
}

std::vector<TAlert> CollectAlerts(const TNodesIF& nodes, const TEvalContext& ctx) {
    std::vector<TAlert> out;
    for (const TTreeNode* n = nodes.GetFirstNode(); n; n = n->GetNext())
        if (const TSchItem* item = n->Data())
            if (const TSchState state = AlertStateOf(*item, ctx); state != ssNone) out.push_back({n, item, state});
    return out;
}

std::string AlertSummary(int warnings, int cautions) {
    std::string s;
    if (warnings > 0) s = "遅延 " + std::to_string(warnings) + "件";
    if (cautions > 0) s += (s.empty() ? "" : "・") + std::string("注意 ") + std::to_string(cautions) + "件";
    return s;
}

namespace {

// At most `chars` code points of UTF-8 text, "…" marking a cut.
std::string CutChars(const std::string& text, int chars) {
    size_t pos = 0;
    for (int n = 0; pos < text.size(); ++n) {
        if (n == chars) return text.substr(0, pos) + "…";
        do
            ++pos;
        while (pos < text.size() && (static_cast<unsigned char>(text[pos]) & 0xC0) == 0x80);
    }
    return text;
}

} // namespace

TNotice MakeNotice(const std::vector<TAlert>& alerts, const TEvalContext& ctx) {
    TNotice notice;
    notice.Day = ctx.Today;
    int warnings = 0, cautions = 0;
    notice.Items.reserve(alerts.size());
    for (TSchState state : {ssWarning, ssCaution})
        for (const TAlert& a : alerts) {
            if (a.State != state) continue;
            (state == ssWarning ? warnings : cautions)++;
            notice.Items.push_back({a.Item->Name, a.State, a.Item->EndDate, ToDoInfoText(ctx, *a.Item, a.State)});
        }
    notice.Summary = AlertSummary(warnings, cautions);
    notice.Critical = warnings > 0;
    int lines = 0;
    for (const TNoticeItem& item : notice.Items) {
        if (lines == kNoticeBodyLines) {
            notice.Body += "\nほか " + std::to_string(notice.Items.size() - size_t(lines)) + "件";
            break;
        }
        if (lines++) notice.Body += '\n';
        notice.Body += CutChars(Cp932ToUtf8(item.Name), kNoticeNameChars) + "（" + item.RemainingText + "）";
    }
    return notice;
}

} // namespace quillo
