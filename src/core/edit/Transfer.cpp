// SPDX-License-Identifier: GPL-3.0-or-later
#include "edit/Transfer.h"

#include "base/Cp932.h"
#include "base/Exceptions.h"
#include "base/FileNames.h"
#include "base/SafeFile.h"
#include "base/StrUtil.h"
#include "edit/EditSteps.h"
#include "edit/Editor.h"
#include "model/Document.h"
#include "model/NodesIF.h"
#include "model/SchItem.h"
#include "model/ScheduleFormat.h"
#include "model/StateEval.h"
#include "shell/UrlShortcut.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace quillo {

const char* const kPasteErrorText = "クリップボードからの項目の読み込み中にエラーが発生しました。";

std::string TransferText(const TTreeNode* node, TDate today, TDate now, const char* banner) {
    int y, m, d;
    DecodeDate(today, y, m, d);
    std::string out = "D\t" + std::to_string(y) + '\t' + std::to_string(m) + '\t' + std::to_string(d) + "\r\n{\r\n";
    WriteItemLines(node, out);
    out += "}\r\n\r\n";
    out += banner;
    out += "\r\n# " + FormatDateTime(now) + "\r\n";
    return out;
}

std::string SafeFileName(std::string_view name) {
    static const std::string_view kRemoved = "\"*./:<>?\\|";
    std::string out;
    for (size_t i = 0; i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (IsCp932LeadByte(c) && i + 1 < name.size()) { // both bytes of a double-byte character stay
            out += name.substr(i, 2);
            ++i;
            continue;
        }
        if (c >= 32 && c <= 127 && kRemoved.find(static_cast<char>(c)) != std::string_view::npos) continue;
        out += static_cast<char>(c);
    }
    return out;
}

void ResetChecks(TTreeNode* node) {
    if (!node || !node->Parent()) return;
    const TTreeNode* stop = node->GetNextSkipChildren();
    for (TTreeNode* n = node; n && n != stop; n = n->GetNext())
        if (TSchItem* item = n->Data(); item && !item->IsFolder()) item->SetChecked(false);
}

TTreeNode* PasteText(TDocument& document, TScheduleEditor& editor, TTreeNode* selected, std::string_view text,
                     const std::function<bool()>& askResetChecks) {
    TTreeNode* root = document.Root();
    if (!root || !selected) return nullptr;
    TTreeNode* parent = selected;
    int index = selected->Count();
    if (const TSchItem* item = selected->Data(); item && !item->IsFolder()) {
        parent = selected->Parent();
        index = selected->Index() + 1;
    }
    // The items are read into a folder of their own first, which never reaches the history and
    // goes on every way out.
    TTreeNode* temp = document.Nodes().AddChild(root, "Temp");
    BindItem(temp, TSchFolder::Create("Temp", temp));
    struct TRemoveTemp {
        TNodesIF& Nodes;
        TTreeNode* Temp;
        ~TRemoveTemp() {
            if (Temp) Nodes.Delete(Temp);
        }
    } removeTemp{document.Nodes(), temp};
    try {
        ReadItemLines(document.Nodes(), temp, text, nullptr, /*gather=*/true);
    } catch (const EInvalidScheduleData&) {
        throw ELoadError(kPasteErrorText);
    }
    TTreeNode* pasted = temp->GetFirstChild();
    if (!pasted) throw ELoadError(kPasteErrorText);
    MoveToIndex(document.Nodes(), pasted, parent, index);
    document.Nodes().Delete(temp); // with every further top-level item of the text
    removeTemp.Temp = nullptr;
    OpenFoldersAsStored(pasted);
    if (askResetChecks && askResetChecks()) ResetChecks(pasted);
    editor.RecordInserted(pasted);
    return pasted;
}

namespace {
// Item text from a file's name or path; what cp932 could not hold is gathered in `told`.
std::string FittedText(const std::string& utf8, TCp932Fit& told) {
    TCp932Fit fit = FitToCp932(utf8);
    for (auto& r : fit.Replaced)
        if (std::find(told.Replaced.begin(), told.Replaced.end(), r) == told.Replaced.end()) told.Replaced.push_back(r);
    for (auto& c : fit.LeftOut)
        if (std::find(told.LeftOut.begin(), told.LeftOut.end(), c) == told.LeftOut.end()) told.LeftOut.push_back(c);
    return Utf8ToCp932Lossy(fit.Text);
}
} // namespace

TTreeNode* AddDroppedFiles(TDocument& document, TScheduleEditor& editor, TTreeNode* selected,
                           const std::vector<std::string>& paths, TDate date,
                           const std::function<void(const std::string& path)>& importFile, std::string* fitNotice) {
    if (!document.IsOpen()) return nullptr;
    TCp932Fit told;
    struct TTell {
        const TCp932Fit& Told;
        std::string* Notice;
        ~TTell() {
            if (Notice) *Notice = FitNotice(Told);
        }
    } tell{told, fitNotice};
    struct TGroup {
        TScheduleEditor& Editor;
        explicit TGroup(TScheduleEditor& e) : Editor(e) { Editor.BeginGroup(); }
        ~TGroup() { Editor.EndGroup(); }
    } group(editor);
    TTreeNode* last = nullptr;
    for (const std::string& path : paths) {
        const std::string name = ExtractFileName(path);
        const std::string ext = name.substr(std::min(name.rfind('.'), name.size()));
        std::optional<std::string> link;
        std::string title = ExtractFileStem(path);
        if (SameText(ext, ".url")) {
            link = LinkOfFile(path).value_or("");
        } else if (IsDirectory(path)) {
            std::string trimmed = path;
            while (trimmed.size() > 1 && trimmed.back() == '/')
                trimmed.pop_back();
            title = ExtractFileName(trimmed).empty() ? trimmed : ExtractFileName(trimmed);
            link = path;
        } else if (IsRegularFile(path)) {
            if (SameText(ext, ".qlp")) {
                if (importFile)
                    importFile(path);
                else
                    ImportFile(document, editor, selected, path, nullptr);
                continue;
            }
            link = path;
        } else {
            continue; // gone since it was dropped
        }
        TTreeNode* node = editor.AddToDo(document.Root(), CutToNameLength(FittedText(title, told)), date);
        node->Data()->Link = FittedText(*link, told);
        editor.KeepNew(node);
        last = node;
    }
    return last;
}

TTreeNode* ImportFile(TDocument& document, TScheduleEditor& editor, TTreeNode* selected, const std::string& path,
                      const std::function<void(const std::string&)>& onBadLine) {
    TTreeNode* root = document.Root();
    if (!root) return nullptr;
    std::string text, error;
    if (!ReadWholeFile(path, text, error)) throw ELoadError(path + "\r\nファイルのオープン処理に失敗しました。");
    if (!LooksLikeSchedule(text)) throw ELoadError(path + "\r\n" + kNotScheduleText);
    TTreeNode* target = selected ? selected : root;
    if (const TSchItem* item = target->Data(); item && !item->IsFolder()) target = target->Parent();
    const int before = target->Count();
    bool complete = true;
    try {
        ReadItemLines(document.Nodes(), target, text, nullptr, /*gather=*/true);
    } catch (const EInvalidScheduleData& e) {
        complete = false;
        try {
            if (onBadLine) onBadLine(e.what());
        } catch (...) {
            // Aborted: what the import added goes again, and nothing of it reaches the history.
            while (target->Count() > before)
                document.Nodes().Delete(target->Item(target->Count() - 1));
            throw;
        }
    }
    std::vector<TTreeNode*> added(target->Children().begin() + before, target->Children().end());
    for (TTreeNode* node : added)
        OpenFoldersAsStored(node);
    editor.RecordInsertedGroup(added);
    root->Expand();
    return complete ? target : nullptr;
}

} // namespace quillo
