// The document lifecycle of the main window: new, open, save, save as, close, autosave.
#include "app/Desktop.h"
#include "app/FormMain.h"
#include "base/Clock.h"
#include "base/Cp932.h"
#include "base/Exceptions.h"
#include "base/StrUtil.h"
#include "controls/SafeFile.h"
#include "controls/TreeList.h"
#include "model/ScheduleFormat.h"
#include "views/StateEval.h"

#include <QAction>
#include <QApplication>
#include <QLabel>

namespace quillo {

namespace {
const char* const kNewTitle = "新規予定表";
const char* const kOpenFilter = "QuilloryPlan予定表(*.qlp)|*.qlp|すべてのファイル(*.*)|*.*";
const char* const kSaveFilter = "QuilloryPlan予定表(*.qlp)|*.qlp";

// Restored on every way out of a command.
struct TWaitCursor {
    TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
};

struct TSuspendRedraw {
    TTreeList* List;
    explicit TSuspendRedraw(TTreeList* list) : List(list) { List->BeginUpdate(); }
    ~TSuspendRedraw() { List->EndUpdate(); }
};
} // namespace

TNodesIF& TFormMain::Nodes() const {
    return TreeList1->Items();
}

bool TFormMain::ScheduleOpen() const {
    return Nodes().GetFirstNode() != nullptr;
}

std::string TFormMain::NowText() const {
    return FormatTime(mClock.Now());
}

void TFormMain::SetTitle(const std::string& title) {
    Title = title;
    const QString caption = QString::fromStdString(title.empty() ? "Quillory Plan" : title);
    setWindowTitle(caption);
    QApplication::setApplicationDisplayName(QString());
    QApplication::setApplicationName(caption);
}

void TFormMain::SetStatusText(const std::string& text) {
    StatusPanel1->setText(QString::fromStdString(text));
}

void TFormMain::SetModified(bool value) {
    Modified = value;
    if (value) SetStatusText("変更あり " + NowText());
}

void TFormMain::NewSchedule() {
    FileName.clear();
    SetTitle(kNewTitle);
    {
        TSuspendRedraw suspend(TreeList1);
        CreateScheduleRoot(Nodes(), Title);
        SetModified(false);
        AutoSave = false;
        Calendar.RebuildChartDayLevels();
    }
}

void TFormMain::DeleteNodeTree(TTreeNode* node) {
    // The collection owns the items: deleting the node frees its subtree and their items,
    // children first, without recursion.
    Nodes().Delete(node);
}

void TFormMain::CloseSchedule() {
    if (!ScheduleOpen()) return;
    TWaitCursor wait;
    {
        TSuspendRedraw suspend(TreeList1);
        Nodes().Clear();
    }
    SetModified(false);
}

bool TFormMain::OpenSchedule() {
    struct TLoadingFlag {
        bool& Flag;
        explicit TLoadingFlag(bool& f) : Flag(f) { Flag = true; }
        ~TLoadingFlag() { Flag = false; }
    } loading(Loading);
    TWaitCursor wait;
    std::string text, error;
    if (!ReadWholeFile(FileName, text, error))
        throw ELoadError(FileName + "\r\nファイルのオープン処理に失敗しました。");
    const auto lines = SplitLines(text);
    bool complete = true;
    {
        TSuspendRedraw suspend(TreeList1);
        SetTitle(ScheduleTitleOf(FileName));
        CreateScheduleRoot(Nodes(), Title);
        SetModified(false);
        Calendar.RebuildChartDayLevels();
        if (auto flag = ScanAutoSaveFlag(lines)) {
            AutoSave = *flag;
            SetStatusText(AutoSave ? "自動保存：有効" : "自動保存：無効");
        }
        try {
            ReadItemLines(Nodes(), Nodes().GetFirstNode(), lines, nullptr);
        } catch (const EInvalidScheduleData& e) {
            complete = false;
            mDesktop.Sound(sndError);
            const std::string message = FileName + "\r\n読み込み中にエラーが発生しました。\r\n\r\n" + e.what();
            if (mDesktop.MessageBox(message, mtError, mbAbort) == mrAbort)
                throw ELoadError(FileName + "\r\n読み込みは中止されました。");
        }
        FinishScheduleLoad(Nodes(), Ctx);
    }
    if (TTreeNode* root = Nodes().GetFirstNode()) {
        TreeList1->SetSelected(root);
        TreeList1->scrollTo(TreeList1->Model().IndexOf(root));
    }
    return complete;
}

void TFormMain::WriteSchedule() {
    if (!ScheduleOpen()) return;
    TWaitCursor wait;
    SaveSchedule(Nodes(), FileName, Today, AutoSave, mClock, SavedAt);
    SetModified(false);
}

// False when the calling command must stop.
bool TFormMain::SaveQuestion(bool forOpen) {
    if (!Modified) return true;
    if (AutoSave) {
        ActionFileSaveExecute(); // a failure propagates and stops the caller
        return true;
    }
    mDesktop.Sound(sndExclamation);
    const std::string text =
        std::string(forOpen ? "現在開いている「" : "「") + Title + "」は更新されています。保存しますか？";
    switch (mDesktop.MessageBox(text, mtConfirmation, mbYes | mbNo | mbCancel)) {
    case mrYes:
        ActionFileSaveExecute();
        return !Modified;
    case mrNo:
        return true;
    default:
        return false;
    }
}

void TFormMain::ActionFileNewExecute() {
    if (Title.empty()) return NewSchedule();
    ActionFileCloseExecute();
    if (Title.empty()) NewSchedule();
}

void TFormMain::ActionFileOpenExecute() {
    if (!SaveQuestion(true)) return;
    CloseSchedule();
    FileName.clear();
    SetTitle("");
    const std::string path = mDesktop.FileDialog({"予定表を開く", kOpenFilter, "qlp", "", false});
    if (path.empty()) return;
    OpenNamed(path);
}

void TFormMain::OpenNamed(const std::string& path) {
    FileName = path;
    try {
        OpenSchedule();
    } catch (...) {
        FileName.clear();
        SetTitle("");
        CloseSchedule();
        throw;
    }
}

void TFormMain::ActionFileSaveExecute() {
    if (FileName.empty()) return ActionFileSaveAsExecute();
    WriteWithStatus("保存完了 ", "保存失敗 ");
}

void TFormMain::WriteWithStatus(const char* done, const char* failed) {
    try {
        WriteSchedule();
        SetStatusText(done + FormatTime(SavedAt));
    } catch (const EQuilloError&) {
        SetModified(true);
        SetStatusText(failed + NowText());
        throw;
    }
}

void TFormMain::ActionFileSaveAsExecute() {
    const std::string path = mDesktop.FileDialog({"予定表を保存", kSaveFilter, "qlp", Title, true});
    if (path.empty()) return;
    const std::string oldFileName = FileName, oldTitle = Title;
    auto setRootText = [this] {
        if (TTreeNode* root = Nodes().GetFirstNode()) root->SetText(Utf8ToCp932Lossy(Title));
    };
    FileName = path;
    SetTitle(ScheduleTitleOf(path));
    setRootText();
    try {
        WriteWithStatus("保存完了 ", "保存失敗 ");
    } catch (const EQuilloError&) {
        FileName = oldFileName;
        SetTitle(oldTitle);
        setRootText();
        throw;
    }
}

void TFormMain::ActionFileCloseExecute() {
    if (!SaveQuestion(false)) return;
    CloseSchedule();
    FileName.clear();
    SetTitle("");
}

void TFormMain::ActionAutoSaveChkExecute() {
    AutoSave = !AutoSave;
    SetModified(true);
    if (AutoSave && FileName.empty()) {
        mDesktop.Sound(sndError);
        mDesktop.MessageBox("自動保存を有効にする前に、予定表を一度保存してください。", mtError, mbOK);
        AutoSave = false;
        SetStatusText("自動保存：無効");
    } else {
        SetStatusText(AutoSave ? "自動保存：有効" : "自動保存：無効");
    }
}

void TFormMain::Timer2Timer() {
    if (++AutoSaveTicks >= 10) {
        AutoSaveTicks = 0;
        // Only with autosave on: the action promises ten-minute writes, and a schedule that
        // was never saved has nowhere to go.
        if (Modified && AutoSave && !FileName.empty()) {
            try {
                WriteWithStatus("自動保存完了 ", "自動保存失敗 ");
            } catch (const EQuilloError&) {
                // The timer shows only the status text, no box.
            }
        }
    }
    if (DateChangeWatch && mClock.Today() != Today) {
        DateChangeWatch = false;
        mDesktop.Sound(sndInformation);
        mDesktop.MessageBox("日付が変わりました。表示を更新するには予定表を一度閉じてから開き直してください。",
                            mtInformation, mbOK);
    }
    UpdateActions();
}

bool TFormMain::FormCloseQuery() {
    try {
        RegManager1.ItemFiler("LastEdit").WriteString(FileName);
    } catch (const EQuilloError&) {
        // Not storing the last file must not keep the program from closing.
    }
    if (!SaveQuestion(false)) return false;
    CloseSchedule();
    FileName.clear();
    SetTitle("");
    return true;
}

void TFormMain::StartWith(const std::string& path) {
    Run([&] {
        if (path.empty()) return ActionFileNewExecute();
        OpenNamed(path);
    });
}

} // namespace quillo
