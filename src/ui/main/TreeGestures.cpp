// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/TreeGestures.h"

#include "base/Desktop.h"
#include "controls/ExHeader.h"
#include "controls/TreeList.h"
#include "edit/Editor.h"
#include "main/ChartView.h"
#include "main/InfoMarks.h"
#include "main/MainCommands.h"
#include "model/Document.h"
#include "model/SchItem.h"
#include "model/StateEval.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QScrollBar>

namespace quillo {

namespace {
constexpr int kScrollMargin = 8; // pixels from an edge where a drag scrolls
} // namespace

TTreeGestures::TTreeGestures(const TMainContext& context, THooks hooks)
    : mContext(context), mHooks(std::move(hooks)), DragSourceNode(context.Watch), CheckClickNode(context.Watch),
      TreePopupMenu(std::make_unique<QMenu>()) {
    TTreeList& tree = context.Tree;
    tree.OnEditing = [this](TTreeList*, TTreeNode*, bool& allow) {
        allow = true;
        TreeList1Editing();
    };
    tree.OnEdited = [this](TTreeList*, TTreeNode* node, std::string& text) {
        mContext.Commands.Run([&] { LabelEdited(node, text); });
    };
    // What the rename box could not keep of a pasted name.
    tree.OnEditFitted = [this](TTreeList*, const std::string& notice) {
        mContext.Hint(QString::fromStdString(notice));
    };
    tree.OnMouseUp = [this](TTreeList*, Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
        TreeList1MouseUp(x, y);
    };
    tree.OnDblClick = [this](TTreeList*) { mContext.Commands.Run([this] { mHooks.OpenProperty(1); }); };
    tree.OnDragOver = [this](TTreeList*, QObject*, int x, int y, bool& accept) { TreeList1DragOver(x, y, accept); };
    tree.OnDragDrop = [this](TTreeList*, QObject*, int x, int y) {
        mContext.Commands.Run([&] { TreeList1DragDrop(x, y); });
    };
    tree.OnEndDrag = [this](TTreeList*, QObject*, int, int) { TreeList1EndDrag(); };
    tree.OnCollapsing = [](TTreeList*, TTreeNode* node, bool& allow) { allow = node->Parent() != nullptr; };
    tree.OnExpanded = [this](TTreeList*, TTreeNode* node) { Expanded(node); };
    tree.OnCollapsed = [this](TTreeList*, TTreeNode* node) { Expanded(node); };
    tree.OnDepthLimit = [this](TTreeList*) {
        mContext.Hint(QString::fromUtf8("階層が深すぎるため、%1階層より深いフォルダは閉じて表示しています。")
                          .arg(TTreeList::kMaxShownDepth));
    };
    Timer1.setInterval(100);
    QObject::connect(&Timer1, &QTimer::timeout, &Timer1, [this] { Timer1Timer(); });

    TMainCommands& commands = context.Commands;
    QMenu* popup = TreePopupMenu.get();
    popup->addAction(commands.Find("ActionItemProperty"));
    TreePopupModeMenu = popup->addMenu(QStringLiteral("日数計算での休日の扱い(&N)"));
    QMenu* modes = TreePopupModeMenu;
    auto* group = new QActionGroup(modes);
    static const char* const kModes[] = {"休日設定に従う(&0)", "常に半休を含める(&1)", "すべての日付を含める(&2)"};
    for (int mode = 0; mode < 3; ++mode) {
        QAction* a = modes->addAction(QString::fromUtf8(kModes[mode]));
        a->setCheckable(true);
        group->addAction(a);
        TreePopupModes[mode] = a;
        QObject::connect(a, &QAction::triggered, popup, [this, mode] {
            mContext.Commands.Run([&] {
                mContext.Editor.SetHolidayMode(mContext.SelectedNode(), mode);
                mContext.Tree.Redraw();
            });
        });
    }
    popup->addSeparator();
    commands.Fill(popup, {"ActionItemToDoNew", "ActionItemFolderNew", "-", "ActionItemCopy", "ActionItemPaste", "-",
                          "ActionToDoToFolder", "-", "ActionItemDelete"});
    tree.setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(&tree, &QWidget::customContextMenuRequested, popup, [this](const QPoint& pos) {
        UpdateTreePopup();
        TreePopupMenu->popup(mContext.Tree.viewport()->mapToGlobal(pos));
    });
    // A cancelled rename gives its keys back once the box is gone.
    commands.AddLook([this] {
        if (mEditingLabel && !mContext.Tree.IsEditing()) GiveKeysBack();
    });
}

TTreeGestures::~TTreeGestures() {
    TTreeList& tree = mContext.Tree;
    tree.OnEditing = nullptr;
    tree.OnEdited = nullptr;
    tree.OnEditFitted = nullptr;
    tree.OnMouseUp = nullptr;
    tree.OnDblClick = nullptr;
    tree.OnDragOver = nullptr;
    tree.OnDragDrop = nullptr;
    tree.OnEndDrag = nullptr;
    tree.OnExpanded = nullptr;
    tree.OnCollapsed = nullptr;
    tree.OnDepthLimit = nullptr;
}

// The expanded state of folders is stored in the file.
void TTreeGestures::Expanded(TTreeNode* node) {
    // No step records it, so undo never reaches the file's state again.
    if (!mContext.Document.Loading) mContext.Document.ChangedOutsideHistory();
    RefreshNode(mContext.Eval, node, false);
}

void TTreeGestures::UpdateTreePopup() {
    const TSchItem* item = mContext.SelectedItem();
    const bool todo = item && !item->IsFolder();
    TreePopupModeMenu->setEnabled(todo);
    for (int mode = 0; mode < 3; ++mode)
        TreePopupModes[mode]->setChecked(todo && item->HolidayMode == mode);
}

void TTreeGestures::TreeList1Editing() {
    mHooks.EditingKeys(false);
    mEditingLabel = true;
}

void TTreeGestures::GiveKeysBack() {
    mEditingLabel = false;
    mHooks.EditingKeys(true);
}

void TTreeGestures::LabelEdited(TTreeNode* node, std::string& text) {
    struct TGiveBack { // the keys come back however the rename ends
        TTreeGestures* Gestures;
        ~TGiveBack() { Gestures->GiveKeysBack(); }
    } giveBack{this};
    IDesktop& desktop = mContext.Desktop;
    if (!node->Parent()) {
        desktop.Sound(sndError);
        desktop.MessageBox("予定表の名前は直接編集できません。\r\n（常にファイル名と同一です）", mtError, mbOK);
        return;
    }
    if (mContext.Editor.Rename(node, text)) {
        desktop.Sound(sndError);
        desktop.MessageBox("項目名の長さは半角で256文字までです。", mtError, mbOK);
    }
    mContext.Tree.Redraw();
}

void TTreeGestures::TreeList1MouseDown(Qt::MouseButton button, int x, int y) {
    // A press elsewhere than on a name or icon drags the row it selects, never one pressed before.
    CheckClickNode = nullptr;
    DragSourceNode = nullptr;
    TTreeList& tree = mContext.Tree;
    TTreeNode* node = tree.GetNodeAt(x, y);
    const unsigned hit = tree.GetHitTestInfoAt(x, y);
    if (!node || (hit & (htOnButton | htOnIndent))) return;
    tree.SetSelected(node);
    if (!node->Parent()) return;
    if (hit & htOnIcon) {
        CheckClickNode = node;
        DragSourceNode = node;
    } else if ((hit & htOnLabel) && button == Qt::LeftButton) {
        DragSourceNode = node;
    }
    if (button != Qt::LeftButton || !node->Data()) return;
    TExSection* s = mContext.Header.GetSectionAt(x, 1);
    if (!s || s->Index() != TChartView::kInfoSection) return;
    const int offset = x + tree.horizontalScrollBar()->value() - s->Left();
    const EInfoMarkClick mark = InfoMarkClickAt(*node->Data(), offset);
    if (mark == icMemo)
        mContext.Commands.Run([this] { mHooks.OpenProperty(2); });
    else if (mark == icLink)
        mContext.Commands.Invoke("ActionOpenLink");
}

void TTreeGestures::TreeList1MouseUp(int x, int y) {
    TTreeNode* node = CheckClickNode;
    CheckClickNode = nullptr;
    TTreeList& tree = mContext.Tree;
    if (!node || tree.GetNodeAt(x, y) != node || !(tree.GetHitTestInfoAt(x, y) & htOnIcon)) return;
    if (const TSchItem* item = node->Data(); item && !item->IsFolder()) {
        mContext.Commands.Run([&] {
            mContext.Editor.SetDone(node, !item->Checked);
            tree.Redraw();
        });
    }
}

void TTreeGestures::TreeList1DragOver(int x, int y, bool& accept) {
    TTreeList& tree = mContext.Tree;
    TTreeNode* node = tree.GetNodeAt(x, y);
    if (node && !node->Expanded() && (tree.GetHitTestInfoAt(x, y) & htOnIcon)) tree.ToggleExpanded(node);
    if (!DragSourceNode) DragSourceNode = tree.Selected();
    if (!DragSourceNode) return;
    accept = node != DragSourceNode;
    if (!accept) return;
    if (y < kScrollMargin) {
        ScrollDirection = sdUp;
        Timer1.start();
    } else if (y >= tree.viewport()->height() - kScrollMargin) {
        ScrollDirection = sdDown;
        Timer1.start();
    } else {
        Timer1.stop();
    }
}

void TTreeGestures::Timer1Timer() {
    QScrollBar* bar = mContext.Tree.verticalScrollBar();
    bar->setValue(bar->value() + (ScrollDirection == sdUp ? -1 : 1) * bar->singleStep());
    mContext.Tree.Redraw();
}

void TTreeGestures::TreeList1DragDrop(int x, int y) {
    TTreeList& tree = mContext.Tree;
    TTreeNode* target = tree.GetNodeAt(x, y);
    TTreeNode* source = DragSourceNode;
    DragSourceNode = nullptr;
    if (!source || !target || !source->Parent()) return;
    const bool keepClosed = !target->Expanded() && (!target->Data() || target->Data()->IsFolder());
    {
        TBusyTree busy(tree);
        mContext.Editor.Drop(source, target);
    }
    mContext.Reveal(keepClosed ? target : source);
}

void TTreeGestures::TreeList1EndDrag() {
    Timer1.stop();
    if (DragSourceNode) mContext.Tree.SetSelected(DragSourceNode); // a drag that ended without a drop
    DragSourceNode = nullptr;
    CheckClickNode = nullptr;
    mContext.Tree.Redraw();
}

} // namespace quillo
