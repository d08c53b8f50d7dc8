// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/Document.h"

#include "base/Exceptions.h"
#include "base/SafeFile.h"
#include "base/StrUtil.h"
#include "model/ScheduleFormat.h"

namespace quillo {

const char* const kNewScheduleTitle = "新規予定表";
const char* const kNotScheduleText = "予定表ファイルではありません。";

TDocument::TDocument() {
    mNodes.SetOwnsData(true);
    History.OnStep = [this] {
        if (OnChanged) OnChanged();
    };
}

void TDocument::Reset() {
    History.Clear();
    mChangedOutsideHistory = false;
}

void TDocument::ChangedOutsideHistory() {
    mChangedOutsideHistory = true;
    if (OnChanged) OnChanged();
}

void TDocument::MarkSaved() {
    History.MarkSaved();
    mChangedOutsideHistory = false;
}

void TDocument::New(const std::string& title) {
    Reset();
    mNodes.Clear();
    Title = title;
    // The root is never collapsed: a new schedule's first to-do must be in sight.
    CreateScheduleRoot(mNodes, Title)->Expand();
    AutoSave = false;
}

void TDocument::Close() {
    Reset();
    mNodes.Clear();
}

TDocument::TLoadResult TDocument::Load(const TEvalContext* ctx, const TBadLineHandler& onBadLine) {
    std::string text, error;
    if (!ReadWholeFile(FileName, text, error)) {
        std::string message = FileName + "\r\nファイルのオープン処理に失敗しました。";
        if (error == kTooLargeText) message += "\r\n" + error;
        throw ELoadError(message);
    }
    return LoadText(text, ScheduleTitleOf(FileName), ctx, onBadLine);
}

TDocument::TLoadResult TDocument::LoadText(std::string_view text, const std::string& title, const TEvalContext* ctx,
                                           const TBadLineHandler& onBadLine) {
    struct TLoadingFlag {
        bool& Flag;
        explicit TLoadingFlag(bool& flag) : Flag(flag) { Flag = true; }
        ~TLoadingFlag() { Flag = false; }
    } loading(Loading);
    // Opening a stray file as an empty schedule would let the next save destroy it.
    if (!LooksLikeSchedule(text)) throw ELoadError(FileName + "\r\n" + kNotScheduleText);

    TLoadResult result;
    Reset();
    mNodes.Clear();
    Title = title;
    TTreeNode* root = CreateScheduleRoot(mNodes, Title);
    result.AutoSave = ScanAutoSaveFlag(text);
    AutoSave = result.AutoSave.value_or(false); // never the flag of the schedule open before
    try {
        ReadItemLines(mNodes, root, text, nullptr);
    } catch (const EInvalidScheduleData& e) {
        result.Complete = false;
        result.BadLine = e.what();
        if (onBadLine) onBadLine(result.BadLine);
    }
    if (ctx) FinishScheduleLoad(mNodes, *ctx);
    return result;
}

void TDocument::Save(TDate today, const TClock& clock) {
    SaveSchedule(mNodes, FileName, today, AutoSave, clock, SavedAt);
    MarkSaved();
}

} // namespace quillo
