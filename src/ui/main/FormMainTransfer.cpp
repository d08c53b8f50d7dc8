// SPDX-License-Identifier: GPL-3.0-or-later
// Items to and from other schedules: the clipboard, export and import, and iCalendar export.
#include "base/Clock.h"
#include "base/Cp932.h"
#include "base/Desktop.h"
#include "base/Exceptions.h"
#include "base/FileNames.h"
#include "base/SafeFile.h"
#include "controls/StatusPanel.h"
#include "controls/TreeList.h"
#include "dialogs/FormHolidays.h"
#include "edit/ICalendar.h"
#include "edit/Transfer.h"
#include "main/FormMain.h"
#include "model/SchItem.h"
#include "model/StateEval.h"

#include <QApplication>

namespace quillo {

// The hourglass while items arrive, and the whole tree evaluated when they are in, on every way out;
// whatever reached the history marks the schedule modified, also when the command then failed.
class TFormMain::TRefreshAfter {
public:
    explicit TRefreshAfter(TFormMain& form) : mForm(form), mDone(form.mDocument.History.Done()) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~TRefreshAfter() {
        if (mForm.mDocument.History.Done() != mDone) mForm.SetModified(true);
        RefreshAll(mForm.mCtx, mForm.Nodes());
        mForm.TreeList1->Redraw();
        QApplication::restoreOverrideCursor();
    }
    TRefreshAfter(const TRefreshAfter&) = delete;
    TRefreshAfter& operator=(const TRefreshAfter&) = delete;

private:
    TFormMain& mForm;
    size_t mDone;
};

void TFormMain::ActionItemCopyExecute() {
    TTreeNode* node = SelectedItem() ? SelectedNode() : nullptr;
    if (!node) return;
    mDesktop.SetClipboardText(Cp932ToUtf8(TransferText(node, mToday, mClock.Now(), kClippedBanner)));
}

void TFormMain::ActionItemPasteExecute() {
    TTreeNode* selected = SelectedNode();
    if (!selected) return;
    const std::string text = mDesktop.ClipboardText();
    if (text.empty()) return;
    const TRefreshAfter refresh(*this);
    const TCp932Fit fit = FitToCp932(text);
    TTreeNode* pasted = PasteText(mDocument, mEditor, selected, Utf8ToCp932Lossy(fit.Text), [this] {
        mDesktop.Sound(sndExclamation);
        return mDesktop.MessageBox("貼り付ける項目のチェックを未完了に戻しますか？", mtConfirmation, mbYes | mbNo) ==
               mrYes;
    });
    if (pasted) {
        TreeList1->SetSelected(pasted);
        TreeList1->scrollTo(TreeList1->Model().IndexOf(pasted));
        if (const std::string notice = FitNotice(fit); !notice.empty())
            StatusPanel0->setText(QString::fromStdString(notice));
    }
}

void TFormMain::ActionFileExportExecute() {
    TSchItem* item = SelectedItem();
    if (!item) return;
    const std::string text = TransferText(item->Node, mToday, mClock.Now(), kExportedBanner);
    const std::string name = Cp932ToUtf8(SafeFileName(item->Name));
    const std::string preset =
        mDocument.FileName.empty() ? name : AddPathDelimiter(ExtractFileDir(mDocument.FileName)) + name;
    const std::string path = mDesktop.FileDialog({"予定表を保存", kSaveFilter, "qlp", preset, true});
    if (path.empty()) return;
    try {
        WriteFileAtomic(path, text, "~qle");
    } catch (const EFileWriteError& e) {
        throw ESaveError(path + " の保存に失敗しました。\r\n" + SystemReason(e.Error));
    }
}

TTreeNode* TFormMain::ImportFile(const std::string& path) {
    const TRefreshAfter refresh(*this);
    TTreeNode* target = quillo::ImportFile(mDocument, mEditor, SelectedNode(), path, [&](const std::string& badLine) {
        mDesktop.Sound(sndError);
        const std::string message = path + "\r\n読み込み中にエラーが発生しました。\r\n\r\n" + badLine;
        if (mDesktop.MessageBox(message, mtError, mbAbort) == mrAbort)
            throw ELoadError(path + "\r\nインポートは中止されました。");
    });
    if (target) TreeList1->SetSelected(target);
    return target;
}

void TFormMain::AddDroppedFiles(const std::vector<std::string>& paths, TDate date) {
    if (!ScheduleOpen()) return;
    const TRefreshAfter refresh(*this);
    std::string notice;
    TTreeNode* last = quillo::AddDroppedFiles(
        mDocument, mEditor, SelectedNode(), paths, date,
        [&](const std::string& badLine) {
            mDesktop.Sound(sndError);
            if (mDesktop.MessageBox(badLine, mtError, mbAbort) == mrAbort) throw ELoadError(badLine);
        },
        &notice);
    if (!notice.empty()) StatusPanel0->setText(QString::fromStdString(notice));
    if (last) SelectNode(last);
}

void TFormMain::ActionFileImportExecute() {
    if (!ScheduleOpen()) return;
    const std::string path = mDesktop.FileDialog({"予定表を開く", kOpenFilter, "qlp", "", false});
    if (!path.empty()) ImportFile(path);
}

void TFormMain::ActionSetHolidaysExecute() {
    TFormHolidays dialog(mDesktop, mCalendar, mToday, this);
    dialog.exec();
    // Whatever the answer: the chart's days follow the calendar, and the states are evaluated anew.
    ChartChanged();
}

void TFormMain::ActionFileExportICalExecute() {
    if (!ScheduleOpen()) return;
    const std::string path =
        mDesktop.FileDialog({"iCalendar形式でエクスポート", "iCalendar(*.ics)|*.ics", "ics", mDocument.Title, true});
    if (path.empty()) return;
    ExportICalendar(Nodes(), mDocument.FileName.empty() ? mDocument.Title : mDocument.FileName, mClock.Now(), path);
}

} // namespace quillo
