// SPDX-License-Identifier: GPL-3.0-or-later
#include "edit/FileCommands.h"

#include "base/Clock.h"
#include "base/Cp932.h"
#include "base/Desktop.h"
#include "base/Exceptions.h"
#include "model/ScheduleFormat.h"

namespace quillo {

const char* const kOpenFilter = "QuilloryPlan予定表(*.qlp)|*.qlp|すべてのファイル(*.*)|*.*";
const char* const kSaveFilter = "QuilloryPlan予定表(*.qlp)|*.qlp";

namespace {
// The hourglass and the suspended redraw, restored on every way out.
class TBusy {
public:
    explicit TBusy(const std::function<void(bool)>& hook) : mHook(hook) {
        if (mHook) mHook(true);
    }
    ~TBusy() {
        if (mHook) mHook(false);
    }
    TBusy(const TBusy&) = delete;
    TBusy& operator=(const TBusy&) = delete;

private:
    const std::function<void(bool)>& mHook;
};
} // namespace

TFileCommands::TFileCommands(TDocument& document, IDesktop& desktop, const TClock& clock, const TEvalContext& ctx,
                             THooks hooks)
    : mDocument(document), mDesktop(desktop), mClock(clock), mCtx(ctx), mHooks(std::move(hooks)) {
    mDocument.OnChanged = [this] { ShowModified(); };
}

TFileCommands::~TFileCommands() {
    mDocument.OnChanged = nullptr;
}

std::string TFileCommands::NowText() const {
    return FormatTime(mClock.Now());
}

void TFileCommands::SetTitle(const std::string& title) {
    mDocument.Title = title;
    if (mHooks.TitleChanged) mHooks.TitleChanged();
}

void TFileCommands::SetStatusText(const std::string& text) {
    if (mHooks.StatusChanged) mHooks.StatusChanged(text);
}

void TFileCommands::SetModified(bool value) {
    if (value)
        mDocument.ChangedOutsideHistory();
    else
        mDocument.MarkSaved();
}

// An undo or redo may come back to what the file holds.
void TFileCommands::ShowModified() {
    SetStatusText(mDocument.Modified() ? "変更あり " + NowText() : "保存時の状態に戻りました");
}

void TFileCommands::NewSchedule() {
    mDocument.FileName.clear();
    TBusy busy(mHooks.Busy), rebuild(mHooks.Rebuild);
    mDocument.New(kNewScheduleTitle);
    SetTitle(kNewScheduleTitle);
}

void TFileCommands::CloseSchedule() {
    if (!mDocument.IsOpen()) return;
    TBusy busy(mHooks.Busy), rebuild(mHooks.Rebuild);
    mDocument.Close();
}

bool TFileCommands::OpenSchedule() {
    TDocument::TLoadResult result;
    {
        TBusy busy(mHooks.Busy), rebuild(mHooks.Rebuild);
        result = mDocument.Load(&mCtx, [this](const std::string& badLine) {
            mDesktop.Sound(sndError);
            const std::string message = mDocument.FileName + "\r\n読み込み中にエラーが発生しました。\r\n\r\n" + badLine;
            if (mDesktop.MessageBox(message, mtError, mbAbort) == mrAbort)
                throw ELoadError(mDocument.FileName + "\r\n読み込みは中止されました。");
        });
        SetTitle(mDocument.Title);
        if (result.AutoSave) SetStatusText(mDocument.AutoSave ? "自動保存：有効" : "自動保存：無効");
    }
    if (mHooks.Opened) mHooks.Opened();
    return result.Complete;
}

void TFileCommands::OpenNamed(const std::string& path) {
    mDocument.FileName = path;
    try {
        OpenSchedule();
    } catch (...) {
        mDocument.FileName.clear();
        SetTitle("");
        CloseSchedule();
        throw;
    }
}

void TFileCommands::WriteSchedule() {
    if (!mDocument.IsOpen()) return;
    TBusy busy(mHooks.Busy);
    mDocument.Save(mCtx.Today, mClock);
}

// False when the calling command must stop.
bool TFileCommands::SaveQuestion(bool forOpen) {
    if (!mDocument.Modified()) return true;
    if (mDocument.AutoSave) {
        FileSave(); // a failure propagates and stops the caller
        return true;
    }
    mDesktop.Sound(sndExclamation);
    const std::string text =
        std::string(forOpen ? "現在開いている「" : "「") + mDocument.Title + "」は更新されています。保存しますか？";
    switch (mDesktop.MessageBox(text, mtConfirmation, mbYes | mbNo | mbCancel)) {
    case mrYes:
        FileSave();
        return !mDocument.Modified();
    case mrNo:
        return true;
    default:
        return false;
    }
}

void TFileCommands::FileNew() {
    if (mDocument.Title.empty()) return NewSchedule();
    FileClose();
    if (mDocument.Title.empty()) NewSchedule();
}

void TFileCommands::FileOpen() {
    if (!SaveQuestion(true)) return;
    CloseSchedule();
    mDocument.FileName.clear();
    SetTitle("");
    const std::string path = mDesktop.FileDialog({"予定表を開く", kOpenFilter, "qlp", "", false});
    if (path.empty()) return;
    OpenNamed(path);
}

void TFileCommands::FileSave() {
    if (mDocument.FileName.empty()) return FileSaveAs();
    WriteWithStatus("保存完了 ", "保存失敗 ");
}

void TFileCommands::WriteWithStatus(const char* done, const char* failed) {
    try {
        WriteSchedule();
        SetStatusText(done + FormatTime(mDocument.SavedAt));
    } catch (const EQuilloError&) {
        SetModified(true);
        SetStatusText(failed + NowText());
        throw;
    }
}

void TFileCommands::FileSaveAs() {
    const std::string path = mDesktop.FileDialog({"予定表を保存", kSaveFilter, "qlp", mDocument.Title, true});
    if (path.empty()) return;
    const std::string oldFileName = mDocument.FileName, oldTitle = mDocument.Title;
    auto setRootText = [this] {
        if (TTreeNode* root = mDocument.Root()) root->SetText(Utf8ToCp932Lossy(mDocument.Title));
    };
    mDocument.FileName = path;
    SetTitle(ScheduleTitleOf(path));
    setRootText();
    try {
        WriteWithStatus("保存完了 ", "保存失敗 ");
    } catch (const EQuilloError&) {
        mDocument.FileName = oldFileName;
        SetTitle(oldTitle);
        setRootText();
        throw;
    }
}

void TFileCommands::FileClose() {
    if (!SaveQuestion(false)) return;
    CloseSchedule();
    mDocument.FileName.clear();
    SetTitle("");
}

void TFileCommands::AutoSaveToggle() {
    mDocument.AutoSave = !mDocument.AutoSave;
    SetModified(true);
    if (mDocument.AutoSave && mDocument.FileName.empty()) {
        mDesktop.Sound(sndError);
        mDesktop.MessageBox("自動保存を有効にする前に、予定表を一度保存してください。", mtError, mbOK);
        mDocument.AutoSave = false;
        SetStatusText("自動保存：無効");
    } else {
        SetStatusText(mDocument.AutoSave ? "自動保存：有効" : "自動保存：無効");
    }
}

void TFileCommands::MinuteTick() {
    if (++AutoSaveTicks >= 10) {
        AutoSaveTicks = 0;
        // Only with autosave on: the command promises ten-minute writes, and a schedule that
        // was never saved has nowhere to go.
        if (mDocument.Modified() && mDocument.AutoSave && !mDocument.FileName.empty()) {
            try {
                WriteWithStatus("自動保存完了 ", "自動保存失敗 ");
            } catch (const EQuilloError&) {
                // The timer shows only the status text, no box.
            }
        }
    }
    if (DateChangeWatch && mClock.Today() != mCtx.Today) {
        DateChangeWatch = false;
        mDesktop.Sound(sndInformation);
        mDesktop.MessageBox("日付が変わりました。表示を更新するには予定表を一度閉じてから開き直してください。",
                            mtInformation, mbOK);
    }
}

bool TFileCommands::CloseQuery() {
    if (!SaveQuestion(false)) return false;
    CloseSchedule();
    mDocument.FileName.clear();
    SetTitle("");
    return true;
}

} // namespace quillo
