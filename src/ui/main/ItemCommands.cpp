// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/ItemCommands.h"

#include "base/Cp932.h"
#include "base/Desktop.h"
#include "controls/TreeList.h"
#include "dialogs/FormProperty.h"
#include "edit/Editor.h"
#include "main/Images.h"
#include "main/MainCommands.h"
#include "model/Document.h"
#include "model/NodeWatch.h"
#include "model/SchItem.h"
#include "settings/Settings.h"

#include <QAction>
#include <QApplication>

namespace quillo {

TItemCommands::TItemCommands(const TMainContext& context, TMainSettings& places, std::function<TDate()> selectedDate)
    : mContext(context), mPlaces(places), mSelectedDate(std::move(selectedDate)) {
    TMainCommands& c = context.Commands;
    TScheduleEditor& editor = context.Editor;
    auto open = [this] { return mContext.Document.IsOpen(); };
    auto item = [this] { return mContext.SelectedItem() != nullptr; };
    auto todo = [this] { return SelectedIsToDo(); };
    c.Bind(
        "ActionEditUndo", [this] { ActionEditUndoExecute(); }, [&editor] { return editor.CanUndo(); });
    c.Bind(
        "ActionEditRedo", [this] { ActionEditRedoExecute(); }, [&editor] { return editor.CanRedo(); });
    c.Bind(
        "ActionItemToDoNew", [this] { NewToDo(mContext.SelectedNode(), kNewToDoName, mSelectedDate(), true); }, open);
    c.Bind(
        "ActionItemFolderNew", [this] { NewFolder(mContext.SelectedNode(), kNewFolderName, true); }, open);
    c.Bind(
        "ActionItemDelete", [this] { ActionItemDeleteExecute(); }, item);
    c.Bind(
        "ActionItemDeleteNoWarning", [this] { ActionItemDeleteNoWarningExecute(); }, item);
    c.Bind(
        "ActionItemChkReverse", [this] { ActionItemChkReverseExecute(); }, todo);
    c.Bind(
        "ActionItemUp", [this] { MoveSelected(true); }, [this] { return HasPrevSibling(); });
    c.Bind(
        "ActionItemDown", [this] { MoveSelected(false); }, [this] { return HasNextSibling(); });
    c.Bind(
        "ActionToDoToFolder", [this] { ActionToDoToFolderExecute(); }, todo);
    auto begin = [this] { return HasBegin(); };
    auto end = [this] { return HasEnd(); };
    auto either = [this] { return HasBegin() || HasEnd(); };
    c.Bind(
        "ActionDateBeginP", [this] { ShiftSelected(1, 0); }, begin);
    c.Bind(
        "ActionDateBeginM", [this] { ShiftSelected(-1, 0); }, begin);
    c.Bind(
        "ActionDateP", [this] { ShiftSelected(1, 1); }, either);
    c.Bind(
        "ActionDateM", [this] { ShiftSelected(-1, -1); }, either);
    c.Bind(
        "ActionDateEndP", [this] { ShiftSelected(0, 1); }, end);
    c.Bind(
        "ActionDateEndM", [this] { ShiftSelected(0, -1); }, end);
    c.Bind(
        "ActionOpenLink", [this] { ActionOpenLinkExecute(); }, [this] { return HasLink(); });
    c.Bind(
        "ActionItemProperty", [this] { OpenItemProperty(pfName); }, item);
    c.AddLook([this] { UpdateLooks(); });
}

bool TItemCommands::SelectedIsToDo() const {
    const TSchItem* item = mContext.SelectedItem();
    return item && !item->IsFolder();
}
bool TItemCommands::HasPrevSibling() const {
    return mContext.SelectedItem() && mContext.SelectedNode()->GetPrevSibling();
}
bool TItemCommands::HasNextSibling() const {
    return mContext.SelectedItem() && mContext.SelectedNode()->GetNextSibling();
}
bool TItemCommands::HasBegin() const {
    return mContext.SelectedItem() && mContext.SelectedItem()->BeginDate != 0;
}
bool TItemCommands::HasEnd() const {
    return mContext.SelectedItem() && mContext.SelectedItem()->EndDate != 0;
}
bool TItemCommands::HasLink() const {
    return mContext.SelectedItem() && !mContext.SelectedItem()->Link.empty();
}

void TItemCommands::UpdateLooks() {
    const TSchItem* item = mContext.SelectedItem();
    if (!item || item->IsFolder()) return; // disabled, it keeps its last look
    QAction* a = mContext.Commands.Find("ActionItemChkReverse");
    if (item->Checked)
        SetLook(a, "未完了に戻す(&R)", "未完了に戻す|選択されている予定を、未完了に戻します。", tiMarkUndone);
    else
        SetLook(a, "完了にする(&R)", "完了にする|選択されている予定を、完了にします。", tiMarkDone);
}

void TItemCommands::ShowUndone(TTreeNode* node) {
    if (node) mContext.Reveal(node);
}

void TItemCommands::ActionEditUndoExecute() {
    TBusyTree busy(mContext.Tree);
    if (mContext.Editor.CanUndo()) ShowUndone(mContext.Editor.Undo());
}

void TItemCommands::ActionEditRedoExecute() {
    TBusyTree busy(mContext.Tree);
    if (mContext.Editor.CanRedo()) ShowUndone(mContext.Editor.Redo());
}

TTreeNode* TItemCommands::NewFolder(TTreeNode* at, const std::string& name, bool rename) {
    if (!mContext.Document.IsOpen()) return nullptr;
    TTreeNode* node;
    {
        TBusyTree busy(mContext.Tree);
        node = mContext.Editor.NewFolder(at, name);
    }
    if (rename && node) {
        mContext.Reveal(node);
        mContext.Tree.EditNode(node);
    }
    return node;
}

TTreeNode* TItemCommands::NewToDo(TTreeNode* at, const std::string& name, TDate date, bool dialog) {
    if (!mContext.Document.IsOpen()) return nullptr;
    TTreeList& tree = mContext.Tree;
    // The dialog waits for the user: what it holds must not outlive a tree closed meanwhile.
    THeldNode previous(mContext.Watch, tree.Selected()), node(mContext.Watch);
    {
        TBusyTree busy(tree);
        node = mContext.Editor.AddToDo(at, name, date);
        tree.SetSelected(node);
    }
    if (dialog) {
        tree.scrollTo(tree.Model().IndexOf(node));
        TFormProperty form(mContext.Desktop, mContext.Today, tree.window());
        form.LoadItem(*node->Data());
        form.PropX = mPlaces.PropX;
        form.PropY = mPlaces.PropY;
        const int result = form.exec();
        mPlaces.PropX = form.PropX;
        mPlaces.PropY = form.PropY;
        if (!node) return nullptr;
        if (result != QDialog::Accepted) {
            // As if it was never made: the tree, the history and the modified mark stay.
            TBusyTree busy(tree);
            tree.SetSelected(previous);
            mContext.Editor.DropNew(node);
            return nullptr;
        }
        tree.SetSelected(node);
        form.ApplyItem(*node->Data());
    }
    TBusyTree busy(tree);
    mContext.Editor.KeepNew(node);
    tree.SetSelected(node);
    return node;
}

void TItemCommands::SetDone(TTreeNode* node, bool done) {
    if (!node || !node->Parent()) return;
    mContext.Editor.SetDone(node, done);
}

void TItemCommands::OpenItemProperty(int focus) {
    TSchItem* item = mContext.SelectedItem();
    if (!item) return;
    THeldNode node(mContext.Watch, item->Node); // the dialog waits: the tree may change meanwhile
    TFormProperty dialog(mContext.Desktop, mContext.Today, mContext.Tree.window());
    dialog.LoadItem(*item);
    dialog.PropFocus = focus;
    dialog.PropX = mPlaces.PropX;
    dialog.PropY = mPlaces.PropY;
    const int result = dialog.exec();
    mPlaces.PropX = dialog.PropX;
    mPlaces.PropY = dialog.PropY;
    if (result != QDialog::Accepted || !node) return;
    TBusyTree busy(mContext.Tree); // a refused next occurrence throws; the cursor comes back anyway
    mContext.Editor.ChangeItem(node, [&](TSchItem& changed) { dialog.ApplyItem(changed); });
}

void TItemCommands::ActionItemDeleteExecute() {
    TTreeNode* node = mContext.SelectedNode();
    if (!mContext.SelectedItem()) return;
    mContext.Desktop.Sound(sndExclamation);
    const std::string text = "項目「" + Cp932ToUtf8(node->Text()) + "」を削除してもよろしいですか？";
    if (mContext.Desktop.MessageBox(text, mtConfirmation, mbYes | mbNo) == mrYes) ActionItemDeleteNoWarningExecute();
}

void TItemCommands::ActionItemDeleteNoWarningExecute() {
    TTreeNode* node = mContext.SelectedNode();
    if (!mContext.SelectedItem()) return;
    TBusyTree busy(mContext.Tree);
    mContext.Editor.Delete(node);
}

void TItemCommands::ActionItemChkReverseExecute() {
    TTreeNode* node = mContext.SelectedNode();
    if (!SelectedIsToDo()) return;
    SetDone(node, !node->Data()->Checked);
    mContext.Tree.Redraw();
}

// Up or down among its siblings, and it stays selected.
void TItemCommands::MoveSelected(bool up) {
    TTreeNode* node = mContext.SelectedNode();
    if (up ? !HasPrevSibling() : !HasNextSibling()) return;
    if (up)
        mContext.Editor.MoveUp(node);
    else
        mContext.Editor.MoveDown(node);
    mContext.Tree.SetSelected(node);
    mContext.Tree.Redraw();
}

void TItemCommands::ActionToDoToFolderExecute() {
    TTreeNode* node = mContext.SelectedNode();
    if (!SelectedIsToDo()) return;
    TTreeNode* folder;
    {
        TBusyTree busy(mContext.Tree);
        folder = mContext.Editor.ToDoToFolder(node);
    }
    mContext.Reveal(folder);
    mContext.Tree.EditNode(folder);
}

void TItemCommands::ShiftSelected(int beginDays, int endDays) {
    if (!mContext.SelectedItem()) return;
    bool shifted;
    {
        TBusyTree busy(mContext.Tree);
        shifted = mContext.Editor.ShiftDates(mContext.SelectedNode(), beginDays, endDays);
    }
    if (!shifted) {
        mContext.Desktop.Sound(sndError);
        mContext.Desktop.MessageBox(std::string("日付を移動できません。\r\n") + kItemDateRange, mtError, mbOK);
    }
}

void TItemCommands::ActionOpenLinkExecute() {
    if (HasLink()) mContext.Desktop.OpenDocument(Cp932ToUtf8(mContext.SelectedItem()->Link));
}

} // namespace quillo
