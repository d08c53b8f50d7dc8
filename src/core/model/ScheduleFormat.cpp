// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ScheduleFormat.h"

#include "base/Clock.h"
#include "base/Cp932.h"
#include "base/Exceptions.h"
#include "base/FileNames.h"
#include "base/SafeFile.h"
#include "base/StrUtil.h"
#include "model/NodesIF.h"
#include "model/SchItem.h"
#include "model/StateEval.h"

namespace quillo {

const char* const kScheduleBanner = "# Quillory Plan Schedule File (ver0.15)";
const char* const kClippedBanner = "# Quillory Plan Clipped Data (ver0.15)";
const char* const kExportedBanner = "# Quillory Plan Exported Data (ver0.15)";

namespace {

void AppendDate(std::string& out, TDate date) {
    if (date > 0) {
        int y, m, d;
        DecodeDate(date, y, m, d);
        out += std::to_string(y) + '\t' + std::to_string(m) + '\t' + std::to_string(d);
    } else {
        out += "-\t-\t-";
    }
}

void AppendItemLine(const TTreeNode* node, std::string& out) {
    const TSchItem* item = node->Data();
    if (!item) return;
    if (item->IsFolder()) {
        const bool open = node->Owner()->StoredExpanded(node); // never a mark a view holds open
        out += "F\t" + item->Name + '\t' + item->GetExtraText() + '\t' + (open ? "+" : "-");
    } else {
        out += "I\t" + item->Name + '\t' + (item->Checked ? "1" : "0") + '\t';
        AppendDate(out, item->BeginDate);
        out += '\t';
        AppendDate(out, item->EndDate);
        out += '\t' + std::to_string(item->HolidayMode) + '\t' + item->GetExtraText();
    }
    out += "\r\n";
}

// "Line" and the line's number go before the words.
[[noreturn]] void Fail(size_t lineNo, const char* what) {
    throw EInvalidScheduleData("Line" + std::to_string(lineNo) + what);
}

constexpr const char* kBadLevel = " : 不正なノードレベル";
constexpr const char* kBadDepth = " : 不正なノード階層";
constexpr const char* kBadData = " : 不正なデータ行";

bool ReadDate(const std::vector<std::string_view>& f, size_t at, TDate& out) {
    if (f[at] == "-") {
        out = 0;
        return true;
    }
    int y, m, d;
    return TryStrToInt(f[at], y) && TryStrToInt(f[at + 1], m) && TryStrToInt(f[at + 2], d) &&
           TryEncodeItemDate(y, m, d, out);
}

bool IsDateLine(std::string_view line) {
    const auto f = SplitFields(line);
    int y, m, d;
    TDate date;
    return f.size() >= 4 && f[0] == "D" && TryStrToInt(f[1], y) && TryStrToInt(f[2], m) && TryStrToInt(f[3], d) &&
           TryEncodeItemDate(y, m, d, date);
}

bool IsBanner(std::string_view line) {
    for (std::string_view banner : {kScheduleBanner, kClippedBanner, kExportedBanner})
        if (line.substr(0, banner.find(" (ver")) == banner.substr(0, banner.find(" (ver"))) return true;
    return false;
}

} // namespace

bool LooksLikeSchedule(std::string_view text) {
    bool blank = true;
    TLineReader reader(text);
    std::string_view line;
    while (reader.Next(line)) {
        if (line.find_first_not_of(" \t") == std::string_view::npos) continue;
        if (blank && IsDateLine(line)) return true;
        blank = false;
        if (IsBanner(line)) return true;
    }
    return blank;
}

void WriteItemLines(const TTreeNode* top, std::string& out) {
    AppendItemLine(top, out);
    if (!top->HasChildren()) return;
    out += "{\r\n";
    const TTreeNode* cur = top->GetFirstChild();
    while (cur) {
        AppendItemLine(cur, out);
        if (cur->HasChildren()) {
            out += "{\r\n";
            cur = cur->GetFirstChild();
            continue;
        }
        while (cur != top && !cur->GetNextSibling()) {
            cur = cur->Parent();
            out += "}\r\n";
        }
        if (cur == top) break;
        cur = cur->GetNextSibling();
    }
}

void ReadItemLines(TNodesIF& nodes, TTreeNode* parent, std::string_view text, const TEvalContext* ctx, bool gather) {
    const int base = parent ? parent->Level() : -1;
    long long level = base;
    // Once a line outside the braces went into `parent`, every later line is read one level deeper
    // than its braces say; none can get back to the braces' level, that takes a "}" too many.
    int gathered = 0;
    TTreeNode* current = parent;
    std::vector<std::string_view> f; // one buffer for every line
    TLineReader reader(text);
    std::string_view line;
    for (size_t lineNo = 1; reader.Next(line); ++lineNo) {
        SplitFields(line, f);
        if (f.empty()) continue;
        if (!f[0].empty() && f[0][0] == '#') continue;
        if (f[0] == "{") {
            ++level;
            continue;
        }
        if (f[0] == "}") {
            if (--level < base) Fail(lineNo, kBadLevel);
            continue;
        }
        const bool folder = f[0] == "F";
        if (!folder && f[0] != "I") continue;
        if (gather && level + gathered == base) gathered = 1;
        const long long at = level + gathered;
        if (at < 1) Fail(lineNo, kBadDepth);

        // Everything is parsed before a node is made, so a bad line leaves no node behind.
        if (f.size() < 2 || f[1].size() > kMaxNameBytes) Fail(lineNo, kBadData);
        bool checked = false;
        TDate begin = 0, end = 0;
        int holidayMode = 0;
        if (!folder) {
            if (f.size() < 9 || !ReadDate(f, 3, begin) || !ReadDate(f, 6, end)) Fail(lineNo, kBadData);
            checked = f[2] != "0";
            if (f.size() > 9 && (!TryStrToInt(f[9], holidayMode) || holidayMode < 0 || holidayMode > 2))
                holidayMode = 0;
        }

        TTreeNode* placeUnder;
        if (!current || at > current->Level()) {
            placeUnder = current;
        } else {
            while (current && current->Level() > at)
                current = current->Parent();
            if (!current || !current->Parent()) Fail(lineNo, kBadDepth);
            placeUnder = current->Parent();
        }
        if (!placeUnder) Fail(lineNo, kBadDepth);
        // The name is kept by the item alone.
        TTreeNode* node = nodes.AddChild(placeUnder, std::string());
        current = node;
        if (folder) {
            auto item = TSchFolder::Create(std::string(f[1]), node);
            if (f.size() > 2) item->SetExtraText(f[2]);
            item->Expanded = f.size() > 3 && f[3] == "+";
            BindItem(node, std::move(item));
        } else {
            auto item = TSchToDo::Create(std::string(f[1]), node, checked, begin, end);
            item->SetHolidayMode(holidayMode);
            if (f.size() > 10) item->SetExtraText(f[10]);
            BindItem(node, std::move(item));
        }
    }
    if (ctx) RefreshAll(*ctx, nodes);
}

std::string BuildScheduleText(const TNodesIF& nodes, TDate today, bool autoSave, TDate savedAt) {
    std::string out;
    out.reserve(static_cast<size_t>(nodes.Count()) * 80 + 128);
    out += "D\t";
    AppendDate(out, today);
    out += "\r\n";
    out += autoSave ? "A+\r\n" : "A-\r\n";
    if (const TTreeNode* root = nodes.GetFirstNode()) WriteItemLines(root, out);
    out += "\r\n";
    out += kScheduleBanner;
    out += "\r\n# " + FormatDateTime(savedAt) + "\r\n";
    return out;
}

void WriteScheduleFile(const std::string& path, std::string_view text, bool autoSave) {
    auto fail = [&](const std::string& reason, const std::string& keptTemp) {
        std::string msg = path + " の保存に失敗しました。\r\n" + reason;
        if (autoSave) msg += "\r\n別名での保存を試すか、自動保存を無効にして終了してください。";
        if (!keptTemp.empty()) msg += "\r\n保存した内容は " + keptTemp + " に残っています。";
        throw ESaveError(msg);
    };
    // A file the reader would refuse is no save.
    if (text.size() > kMaxReadBytes) fail(kTooLargeText, "");
    try {
        WriteFileAtomic(path, text, "~qlp", /*keepTempOnRenameFailure=*/true);
    } catch (const EFileWriteError& e) {
        fail(SystemReason(e.Error), e.KeptTemp);
    }
}

std::string SaveSchedule(const TNodesIF& nodes, const std::string& path, TDate today, bool autoSave,
                         const TClock& clock, TDate& savedAt) {
    if (!nodes.GetFirstNode()) return {};
    savedAt = clock.Now();
    std::string text = BuildScheduleText(nodes, today, autoSave, savedAt);
    WriteScheduleFile(path, text, autoSave);
    return text;
}

std::optional<bool> ScanAutoSaveFlag(std::string_view text) {
    TLineReader reader(text);
    std::string_view line;
    while (reader.Next(line)) {
        auto f = SplitFields(line);
        if (f.empty() || (!f[0].empty() && f[0][0] == '#')) continue;
        if (f[0] == "A+") return true;
        if (f[0] == "A-") return false;
    }
    return std::nullopt;
}

TTreeNode* CreateScheduleRoot(TNodesIF& nodes, const std::string& titleUtf8) {
    TTreeNode* root = nodes.Add(nullptr, Utf8ToCp932Lossy(titleUtf8));
    root->SetImages(niRoot);
    root->SubItems()->Pad(TSubItems::kItemColumns);
    return root;
}

// Folds first, then one refresh: the rows' texts depend on the folds, the states do not.
void FinishScheduleLoad(TNodesIF& nodes, const TEvalContext& ctx, bool rowTexts) {
    TTreeNode* root = nodes.GetFirstNode();
    if (!root) return;
    root->Expand();
    OpenFoldersAsStored(root);
    RefreshAll(ctx, nodes, rowTexts);
}

void OpenFoldersAsStored(TTreeNode* top) {
    const TTreeNode* stop = top->GetNextSkipChildren();
    for (TTreeNode* n = top; n && n != stop; n = n->GetNext())
        if (TSchItem* item = n->Data(); item && item->IsFolder()) static_cast<TSchFolder*>(item)->ApplyExpanded();
}

std::string ScheduleTitleOf(const std::string& path) {
    return ExtractFileStem(path);
}

} // namespace quillo
