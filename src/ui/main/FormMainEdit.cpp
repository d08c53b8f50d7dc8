// SPDX-License-Identifier: GPL-3.0-or-later
// The tree editing commands of the main window: new items, rename, delete, moves, date shifts,
// the done mark, drag and drop, undo and redo. The rules are the editor's; this file asks,
// selects and shows.
#include "base/Cp932.h"
#include "base/Desktop.h"
#include "controls/DropDst.h"
#include "controls/ExHeader.h"
#include "controls/StatusPanel.h"
#include "controls/TreeList.h"
#include "dialogs/FormProperty.h"
#include "main/FormMain.h"
#include "main/Images.h"
#include "model/SchItem.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QMenu>
#include <QScrollBar>

namespace quillo {

namespace {
// The hourglass and a suspended tree while a command changes it, restored on every way out.
class TBusyTree {
public:
    explicit TBusyTree(TTreeList* list) : mList(list) { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TBusyTree() {
        QApplication::restoreOverrideCursor();
        mList->Redraw();
    }
    TBusyTree(const TBusyTree&) = delete;
    TBusyTree& operator=(const TBusyTree&) = delete;

private:
    TTreeList* mList;
};

constexpr int kScrollMargin = 8; // pixels from an edge where a drag scrolls
} // namespace

void TFormMain::BuildEditing() {
    ActionEditRedo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    ActionEditUndo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    SetEditingShortcuts();

    TreeList1->OnEditing = [this](TTreeList*, TTreeNode*, bool& allow) {
        allow = true;
        ClearEditingShortcuts();
        EditingLabel = true;
    };
    TreeList1->OnEdited = [this](TTreeList*, TTreeNode* node, std::string& text) {
        Run([&] { LabelEdited(node, text); });
    };
    TreeList1->OnEditFitted = [this](TTreeList*, const std::string& notice) {
        StatusPanel0->setText(QString::fromStdString(notice));
    };
    TreeList1->OnMouseUp = [this](TTreeList*, Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
        TreeEditMouseUp(x, y);
    };
    TreeList1->OnDragOver = [this](TTreeList*, QObject*, int x, int y, bool& accept) { TreeDragOver(x, y, accept); };
    TreeList1->OnDragDrop = [this](TTreeList*, QObject*, int x, int y) { Run([&] { TreeDragDrop(x, y); }); };
    TreeList1->OnEndDrag = [this](TTreeList*, QObject*, int, int) { TreeEndDrag(); };
    TreeList1->OnCollapsing = [](TTreeList*, TTreeNode* node, bool& allow) { allow = node->Parent() != nullptr; };
    DropDst1 = new TDropDst(this);
    DropDst1->SetControl(TreeList1->viewport());
    DropDst1->OnFileDrop = [this](TDropDst*, const std::vector<std::string>& paths, int, int) {
        Run([&] { AddDroppedFiles(paths, mToday); });
    };
    Timer1.setInterval(100);
    connect(&Timer1, &QTimer::timeout, this, &TFormMain::Timer1Timer);

    TreePopupMenu = new QMenu(this);
    TreePopupMenu->addAction(ActionItemProperty);
    QMenu* modes = TreePopupMenu->addMenu(QStringLiteral("日数計算での休日の扱い(&N)"));
    auto* group = new QActionGroup(modes);
    static const char* const kModes[] = {"休日設定に従う", "常に半休を含める", "すべての日付を含める"};
    for (int mode = 0; mode < 3; ++mode) {
        QAction* a = modes->addAction(QString::fromUtf8(kModes[mode]));
        a->setCheckable(true);
        group->addAction(a);
        TreePopupModes[mode] = a;
        connect(a, &QAction::triggered, this, [this, mode] {
            Run([&] {
                mEditor.SetHolidayMode(SelectedNode(), mode);
                Edited();
            });
        });
    }
    for (QAction* a : {static_cast<QAction*>(nullptr), ActionItemToDoNew, ActionItemFolderNew,
                       static_cast<QAction*>(nullptr), ActionItemCopy, ActionItemPaste, static_cast<QAction*>(nullptr),
                       ActionToDoToFolder, static_cast<QAction*>(nullptr), ActionItemDelete})
        if (a)
            TreePopupMenu->addAction(a);
        else
            TreePopupMenu->addSeparator();
    TreeList1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(TreeList1, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        UpdateTreePopup();
        TreePopupMenu->popup(TreeList1->viewport()->mapToGlobal(pos));
    });
}

void TFormMain::UpdateTreePopup() {
    const TSchItem* item = SelectedItem();
    const bool todo = item && !item->IsFolder();
    for (int mode = 0; mode < 3; ++mode) {
        TreePopupModes[mode]->setEnabled(todo);
        TreePopupModes[mode]->setChecked(todo && item->HolidayMode == mode);
    }
}

// The keys a rename box needs for itself, in the order they are given out.
void TFormMain::SetEditingShortcuts() {
    const std::pair<QAction*, QKeyCombination> keys[] = {{ActionItemChkReverse, Qt::Key_Space},
                                                         {ActionItemDelete, Qt::Key_Delete},
                                                         {ActionItemDeleteNoWarning, Qt::SHIFT | Qt::Key_Delete},
                                                         {ActionShowChart, Qt::Key_Tab},
                                                         {ActionDateBeginM, Qt::SHIFT | Qt::Key_Left},
                                                         {ActionDateBeginP, Qt::SHIFT | Qt::Key_Right},
                                                         {ActionDateM, Qt::CTRL | Qt::SHIFT | Qt::Key_Left},
                                                         {ActionDateP, Qt::CTRL | Qt::SHIFT | Qt::Key_Right},
                                                         {ActionDateEndM, Qt::CTRL | Qt::Key_Left},
                                                         {ActionDateEndP, Qt::CTRL | Qt::Key_Right},
                                                         {ActionItemUp, Qt::CTRL | Qt::Key_Up},
                                                         {ActionItemDown, Qt::CTRL | Qt::Key_Down},
                                                         {ActionChartNext1, Qt::ALT | Qt::Key_Right},
                                                         {ActionChartNext, Qt::ALT | Qt::SHIFT | Qt::Key_Right},
                                                         {ActionChartPrev1, Qt::ALT | Qt::Key_Left},
                                                         {ActionChartPrev, Qt::ALT | Qt::SHIFT | Qt::Key_Left},
                                                         {ActionItemFolderNew, Qt::CTRL | Qt::SHIFT | Qt::Key_N},
                                                         {ActionItemCopy, Qt::CTRL | Qt::Key_C},
                                                         {ActionItemPaste, Qt::CTRL | Qt::Key_V}};
    for (const auto& [action, key] : keys)
        action->setShortcut(QKeySequence(key));
    ActionEditUndo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    ActionEditRedo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    SetEscapeToTray(isActiveWindow() && !EditingLabel);
}

void TFormMain::ClearEditingShortcuts() {
    for (QAction* a : {ActionItemChkReverse, ActionItemDelete,    ActionItemDeleteNoWarning,
                       ActionShowChart,      ActionDateBeginM,    ActionDateBeginP,
                       ActionDateM,          ActionDateP,         ActionDateEndM,
                       ActionDateEndP,       ActionItemUp,        ActionItemDown,
                       ActionChartNext1,     ActionChartNext,     ActionChartPrev1,
                       ActionChartPrev,      ActionItemFolderNew, ActionItemCopy,
                       ActionItemPaste,      ActionEditUndo,      ActionEditRedo})
        a->setShortcuts({});
    SetEscapeToTray(false); // Esc ends the rename instead
}

bool TFormMain::SelectedIsToDo() const {
    const TSchItem* item = SelectedItem();
    return item && !item->IsFolder();
}
bool TFormMain::HasPrevSibling() const {
    return SelectedItem() && SelectedNode()->GetPrevSibling();
}
bool TFormMain::HasNextSibling() const {
    return SelectedItem() && SelectedNode()->GetNextSibling();
}
bool TFormMain::HasBegin() const {
    return SelectedItem() && SelectedItem()->BeginDate != 0;
}
bool TFormMain::HasEnd() const {
    return SelectedItem() && SelectedItem()->EndDate != 0;
}
bool TFormMain::HasBeginOrEnd() const {
    return HasBegin() || HasEnd();
}
bool TFormMain::HasLink() const {
    return SelectedItem() && !SelectedItem()->Link.empty();
}

void TFormMain::UpdateEditingLooks() {
    if (const TSchItem* item = SelectedItem(); item && !item->IsFolder()) {
        if (item->Checked)
            SetLook(ActionItemChkReverse, "未完了に戻す(&R)", "未完了に戻す|選択されている予定を、未完了に戻します。",
                    tiMarkUndone);
        else
            SetLook(ActionItemChkReverse, "完了にする(&R)", "完了にする|選択されている予定を、完了にします。",
                    tiMarkDone);
    }
    // A cancelled rename gives its keys back here, once the box is gone.
    if (EditingLabel && !TreeList1->IsEditing()) {
        EditingLabel = false;
        SetEditingShortcuts();
    }
}

void TFormMain::Edited() {
    SetModified(true);
    TreeList1->Redraw();
}

void TFormMain::ShowUndone(TTreeNode* node) {
    mDocument.Modified = !mDocument.History.AtSaved();
    if (mDocument.Modified)
        SetModified(true);
    else
        StatusPanel1->setText(QStringLiteral("保存時の状態に戻りました"));
    if (node) {
        TreeList1->SetSelected(node);
        TreeList1->scrollTo(TreeList1->Model().IndexOf(node));
    }
    TreeList1->Redraw();
}

void TFormMain::ActionEditUndoExecute() {
    TBusyTree busy(TreeList1);
    if (mEditor.CanUndo()) ShowUndone(mEditor.Undo());
}

void TFormMain::ActionEditRedoExecute() {
    TBusyTree busy(TreeList1);
    if (mEditor.CanRedo()) ShowUndone(mEditor.Redo());
}

TTreeNode* TFormMain::NewFolder(TTreeNode* at, const std::string& name, bool rename) {
    if (!ScheduleOpen()) return nullptr;
    TTreeNode* node;
    {
        TBusyTree busy(TreeList1);
        node = mEditor.NewFolder(at, name);
        Edited();
    }
    if (rename && node) {
        TreeList1->SetSelected(node);
        TreeList1->scrollTo(TreeList1->Model().IndexOf(node));
        TreeList1->EditNode(node);
    }
    return node;
}

TTreeNode* TFormMain::NewToDo(TTreeNode* at, const std::string& name, TDate date, bool dialog) {
    if (!ScheduleOpen()) return nullptr;
    TTreeNode* previous = TreeList1->Selected();
    TTreeNode* node;
    {
        TBusyTree busy(TreeList1);
        node = mEditor.AddToDo(at, name, date);
        TreeList1->SetSelected(node);
    }
    if (dialog) {
        TreeList1->scrollTo(TreeList1->Model().IndexOf(node));
        TFormProperty form(mDesktop, mToday, this);
        form.LoadItem(*node->Data());
        form.PropX = mSettings.PropX;
        form.PropY = mSettings.PropY;
        const int result = form.exec();
        mSettings.PropX = form.PropX;
        mSettings.PropY = form.PropY;
        if (result != QDialog::Accepted) {
            // As if it was never made: the tree, the history and the modified mark stay.
            TBusyTree busy(TreeList1);
            TreeList1->SetSelected(previous);
            mEditor.DropNew(node);
            return nullptr;
        }
        TreeList1->SetSelected(node);
        form.ApplyItem(*node->Data());
    }
    TBusyTree busy(TreeList1);
    mEditor.KeepNew(node);
    TreeList1->SetSelected(node);
    Edited();
    return node;
}

void TFormMain::SetDone(TTreeNode* node, bool done) {
    if (!node || !node->Parent()) return;
    mEditor.SetDone(node, done);
}

void TFormMain::ActionItemToDoNewExecute() {
    NewToDo(SelectedNode(), kNewToDoName, mSelectedDate, true);
}

void TFormMain::ActionItemFolderNewExecute() {
    NewFolder(SelectedNode(), kNewFolderName, true);
}

void TFormMain::ActionItemDeleteExecute() {
    TTreeNode* node = SelectedNode();
    if (!SelectedItem()) return;
    mDesktop.Sound(sndExclamation);
    const std::string text = "項目「" + Cp932ToUtf8(node->Text()) + "」を削除してもよろしいですか？";
    if (mDesktop.MessageBox(text, mtConfirmation, mbYes | mbNo) == mrYes) ActionItemDeleteNoWarningExecute();
}

void TFormMain::ActionItemDeleteNoWarningExecute() {
    TTreeNode* node = SelectedNode();
    if (!SelectedItem()) return;
    TBusyTree busy(TreeList1);
    mEditor.Delete(node);
    Edited();
}

void TFormMain::ActionItemChkReverseExecute() {
    TTreeNode* node = SelectedNode();
    if (!SelectedIsToDo()) return;
    SetDone(node, !node->Data()->Checked);
    Edited();
}

void TFormMain::ActionItemUpExecute() {
    TTreeNode* node = SelectedNode();
    if (!HasPrevSibling()) return;
    mEditor.MoveUp(node);
    TreeList1->SetSelected(node);
    Edited();
}

void TFormMain::ActionItemDownExecute() {
    TTreeNode* node = SelectedNode();
    if (!HasNextSibling()) return;
    mEditor.MoveDown(node);
    TreeList1->SetSelected(node);
    Edited();
}

void TFormMain::ActionToDoToFolderExecute() {
    TTreeNode* node = SelectedNode();
    if (!SelectedIsToDo()) return;
    TTreeNode* folder;
    {
        TBusyTree busy(TreeList1);
        folder = mEditor.ToDoToFolder(node);
        Edited();
    }
    TreeList1->SetSelected(folder);
    TreeList1->scrollTo(TreeList1->Model().IndexOf(folder));
    TreeList1->EditNode(folder);
}

void TFormMain::ShiftSelected(int beginDays, int endDays) {
    TTreeNode* node = SelectedItem() ? SelectedNode() : nullptr;
    if (!node) return;
    bool shifted;
    {
        TBusyTree busy(TreeList1);
        shifted = mEditor.ShiftDates(node, beginDays, endDays);
        if (shifted) Edited();
    }
    if (!shifted) {
        mDesktop.Sound(sndError);
        mDesktop.MessageBox(std::string("日付を移動できません。\r\n") + kItemDateRange, mtError, mbOK);
    }
}

void TFormMain::ActionOpenLinkExecute() {
    if (HasLink()) mDesktop.OpenDocument(Cp932ToUtf8(SelectedItem()->Link));
}

void TFormMain::LabelEdited(TTreeNode* node, std::string& text) {
    struct TGiveBack { // the keys come back however the rename ends
        TFormMain* Form;
        ~TGiveBack() {
            Form->SetEditingShortcuts();
            Form->EditingLabel = false;
        }
    } giveBack{this};
    if (!node->Parent()) {
        mDesktop.Sound(sndError);
        mDesktop.MessageBox("予定表の名前は直接編集できません。\r\n（常にファイル名と同一です）", mtError, mbOK);
        return;
    }
    if (mEditor.Rename(node, text)) {
        mDesktop.Sound(sndError);
        mDesktop.MessageBox("項目名の長さは半角で256文字までです。", mtError, mbOK);
    }
    Edited(); // even for an unchanged text
}

void TFormMain::TreeEditMouseDown(Qt::MouseButton button, int x, int y) {
    CheckClickNode = nullptr;
    TTreeNode* node = TreeList1->GetNodeAt(x, y);
    const unsigned hit = TreeList1->GetHitTestInfoAt(x, y);
    if (!node || (hit & (htOnButton | htOnIndent))) return;
    TreeList1->SetSelected(node);
    if (node->Parent()) {
        if (hit & htOnIcon) {
            CheckClickNode = node;
            DragSourceNode = node;
        } else if ((hit & htOnLabel) && button == Qt::LeftButton) {
            DragSourceNode = node;
        }
        if (button == Qt::LeftButton && node->Data()) {
            TExSection* s = ExHeader1->GetSectionAt(x, 1);
            if (s && s->Index() == kInfoSection) {
                const int offset = x + TreeList1->horizontalScrollBar()->value() - s->Left();
                if (offset > 0 && offset < 16 && !node->Data()->Memo.empty())
                    Run([this] { OpenItemProperty(2); });
                else if (offset > 16 && offset < 32 && !node->Data()->Link.empty())
                    Run([this] { ActionOpenLinkExecute(); });
            }
        }
    }
}

void TFormMain::TreeEditMouseUp(int x, int y) {
    TTreeNode* node = CheckClickNode;
    CheckClickNode = nullptr;
    if (!node || TreeList1->GetNodeAt(x, y) != node || !(TreeList1->GetHitTestInfoAt(x, y) & htOnIcon)) return;
    if (const TSchItem* item = node->Data(); item && !item->IsFolder()) {
        Run([&] {
            SetDone(node, !item->Checked);
            Edited();
        });
    }
}

void TFormMain::TreeDragOver(int x, int y, bool& accept) {
    TTreeNode* node = TreeList1->GetNodeAt(x, y);
    if (node && !node->Expanded() && (TreeList1->GetHitTestInfoAt(x, y) & htOnIcon)) TreeList1->ToggleExpanded(node);
    if (!DragSourceNode) DragSourceNode = TreeList1->Selected();
    if (!DragSourceNode) return;
    accept = node != DragSourceNode;
    if (!accept) return;
    if (y < kScrollMargin) {
        ScrollDirection = 0;
        Timer1.start();
    } else if (y >= TreeList1->viewport()->height() - kScrollMargin) {
        ScrollDirection = 1;
        Timer1.start();
    } else {
        Timer1.stop();
    }
}

void TFormMain::Timer1Timer() {
    QScrollBar* bar = TreeList1->verticalScrollBar();
    bar->setValue(bar->value() + (ScrollDirection == 0 ? -1 : 1) * bar->singleStep());
    TreeList1->Redraw();
}

void TFormMain::TreeDragDrop(int x, int y) {
    TTreeNode* target = TreeList1->GetNodeAt(x, y);
    TTreeNode* source = DragSourceNode;
    DragSourceNode = nullptr;
    if (!source || !target || !source->Parent()) return;
    const bool keepClosed = !target->Expanded() && (!target->Data() || target->Data()->IsFolder());
    {
        TBusyTree busy(TreeList1);
        mEditor.Drop(source, target);
        Edited();
    }
    TTreeNode* shown = keepClosed ? target : source;
    TreeList1->SetSelected(shown);
    TreeList1->scrollTo(TreeList1->Model().IndexOf(shown));
}

void TFormMain::TreeEndDrag() {
    Timer1.stop();
    if (DragSourceNode) TreeList1->SetSelected(DragSourceNode); // a drag that ended without a drop
    DragSourceNode = nullptr;
    CheckClickNode = nullptr;
    TreeList1->Redraw();
}

} // namespace quillo
