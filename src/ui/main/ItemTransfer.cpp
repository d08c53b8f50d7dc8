// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/ItemTransfer.h"

#include "base/Clock.h"
#include "base/Cp932.h"
#include "base/Desktop.h"
#include "base/Exceptions.h"
#include "base/FileNames.h"
#include "base/SafeFile.h"
#include "controls/DropDst.h"
#include "controls/TreeList.h"
#include "edit/FileCommands.h"
#include "edit/ICalendar.h"
#include "edit/Transfer.h"
#include "main/MainCommands.h"
#include "model/Document.h"
#include "model/SchItem.h"
#include "model/StateEval.h"

#include <QApplication>

namespace quillo {

namespace {
// The hourglass while items arrive, and the whole tree evaluated when they are in, on every way out.
class TRefreshAfter {
public:
    explicit TRefreshAfter(const TMainContext& context) : mContext(context) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~TRefreshAfter() {
        RefreshAll(mContext.Eval, mContext.Document.Nodes());
        mContext.Tree.Redraw();
        QApplication::restoreOverrideCursor();
    }
    TRefreshAfter(const TRefreshAfter&) = delete;
    TRefreshAfter& operator=(const TRefreshAfter&) = delete;

private:
    const TMainContext& mContext;
};
} // namespace

TItemTransfer::TItemTransfer(const TMainContext& context) : mContext(context) {
    TMainCommands& c = context.Commands;
    auto open = [this] { return mContext.Document.IsOpen(); };
    auto item = [this] { return mContext.SelectedItem() != nullptr; };
    c.Bind(
        "ActionItemCopy", [this] { ActionItemCopyExecute(); }, item);
    c.Bind(
        "ActionItemPaste", [this] { ActionItemPasteExecute(); }, open);
    c.Bind(
        "ActionFileExport", [this] { ActionFileExportExecute(); }, item);
    c.Bind(
        "ActionFileImport", [this] { ActionFileImportExecute(); }, open);
    c.Bind(
        "ActionFileExportICal", [this] { ActionFileExportICalExecute(); }, open);
    DropDst1 = new TDropDst(&context.Tree);
    DropDst1->SetControl(context.Tree.viewport());
    DropDst1->OnFileDrop = [this](TDropDst*, const std::vector<std::string>& paths, int, int) {
        mContext.Commands.Run([&] { AddDroppedFiles(paths, mContext.Today); });
    };
}

void TItemTransfer::ActionItemCopyExecute() {
    TTreeNode* node = mContext.SelectedItem() ? mContext.SelectedNode() : nullptr;
    if (!node) return;
    mContext.Desktop.SetClipboardText(
        Cp932ToUtf8(TransferText(node, mContext.Today, mContext.Clock.Now(), kClippedBanner)));
}

void TItemTransfer::ActionItemPasteExecute() {
    TTreeNode* selected = mContext.SelectedNode();
    if (!selected) return;
    IDesktop& desktop = mContext.Desktop;
    const std::string text = desktop.ClipboardText();
    if (text.empty()) return;
    const TRefreshAfter refresh(mContext);
    const TCp932Fit fit = FitToCp932(text);
    TTreeNode* pasted = PasteText(mContext.Document, mContext.Editor, selected, Utf8ToCp932Lossy(fit.Text), [&desktop] {
        desktop.Sound(sndExclamation);
        return desktop.MessageBox("貼り付ける項目のチェックを未完了に戻しますか？", mtConfirmation, mbYes | mbNo) ==
               mrYes;
    });
    if (!pasted) return;
    mContext.Reveal(pasted);
    if (const std::string notice = FitNotice(fit); !notice.empty()) mContext.Hint(QString::fromStdString(notice));
}

void TItemTransfer::ActionFileExportExecute() {
    TSchItem* item = mContext.SelectedItem();
    if (!item) return;
    const std::string text = TransferText(item->Node, mContext.Today, mContext.Clock.Now(), kExportedBanner);
    const std::string name = Cp932ToUtf8(SafeFileName(item->Name));
    const std::string& fileName = mContext.Document.FileName;
    const std::string preset = fileName.empty() ? name : AddPathDelimiter(ExtractFileDir(fileName)) + name;
    const std::string path = mContext.Desktop.FileDialog({"予定表を保存", kSaveFilter, "qlp", preset, true});
    if (path.empty()) return;
    try {
        WriteFileAtomic(path, text, "~qle");
    } catch (const EFileWriteError& e) {
        throw ESaveError(path + " の保存に失敗しました。\r\n" + SystemReason(e.Error));
    }
}

TTreeNode* TItemTransfer::ImportFile(const std::string& path) {
    const TRefreshAfter refresh(mContext);
    IDesktop& desktop = mContext.Desktop;
    TTreeNode* target = quillo::ImportFile(
        mContext.Document, mContext.Editor, mContext.SelectedNode(), path, [&](const std::string& badLine) {
            desktop.Sound(sndError);
            const std::string message = path + "\r\n読み込み中にエラーが発生しました。\r\n\r\n" + badLine;
            if (desktop.MessageBox(message, mtError, mbAbort) == mrAbort)
                throw ELoadError(path + "\r\nインポートは中止されました。");
        });
    if (target) mContext.Tree.SetSelected(target);
    return target;
}

void TItemTransfer::AddDroppedFiles(const std::vector<std::string>& paths, TDate date) {
    if (!mContext.Document.IsOpen()) return;
    const TRefreshAfter refresh(mContext);
    std::string notice;
    // A dropped schedule gets the questions and the selection of the menu's import.
    TTreeNode* last = quillo::AddDroppedFiles(
        mContext.Document, mContext.Editor, mContext.SelectedNode(), paths, date,
        [this](const std::string& path) { ImportFile(path); }, &notice);
    if (!notice.empty()) mContext.Hint(QString::fromStdString(notice));
    if (last) mContext.Reveal(last);
}

void TItemTransfer::ActionFileImportExecute() {
    if (!mContext.Document.IsOpen()) return;
    const std::string path = mContext.Desktop.FileDialog({"予定表を開く", kOpenFilter, "qlp", "", false});
    if (!path.empty()) ImportFile(path);
}

void TItemTransfer::ActionFileExportICalExecute() {
    const TDocument& document = mContext.Document;
    if (!document.IsOpen()) return;
    const std::string path = mContext.Desktop.FileDialog(
        {"iCalendar形式でエクスポート", "iCalendar(*.ics)|*.ics", "ics", document.Title, true});
    if (path.empty()) return;
    ExportICalendar(document.Nodes(), document.FileName.empty() ? document.Title : document.FileName,
                    mContext.Clock.Now(), path, &mContext.Calendar);
}

} // namespace quillo
