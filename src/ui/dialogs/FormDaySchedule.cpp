// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/FormDaySchedule.h"

#include "base/Cp932.h"
#include "base/Desktop.h"
#include "base/StrUtil.h"
#include "controls/DropDst.h"
#include "controls/ExHeader.h"
#include "controls/TreeList.h"
#include "controls/WindowPlace.h"
#include "dialogs/FormProperty.h"
#include "edit/Editor.h"
#include "main/ChartPaint.h"
#include "main/FormMain.h"
#include "main/Images.h"
#include "main/InfoMarks.h"
#include "main/MainCommands.h"
#include "model/DayList.h"
#include "model/SchItem.h"
#include "settings/Settings.h"

#include <QAction>
#include <QEvent>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>

namespace quillo {

const char* const kDayWindowTitle = "一日の予定";

namespace {
constexpr int kNameSection = 0, kInfoColumn = 2;
} // namespace

TFormDaySchedule::TFormDaySchedule(TFormMain& main)
    : QDialog(&main), mMain(main), mMainWatch(main.Shared().Document.Nodes()) {
    mMainWatch.OnRemoving = [this] { ForgetRows(); };
    setWindowTitle(QString::fromUtf8(kDayWindowTitle));
    setMinimumSize(360, 240);
    resize(480, 400);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    ToolBar1 = new QToolBar(this);
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->setCursor(Qt::ArrowCursor);
    layout->addWidget(ToolBar1);
    ExHeader1 = new TExHeader(this);
    ExHeader1->setCursor(Qt::ArrowCursor);
    TreeList1 = new TTreeList(mNodes, this);
    TreeList1->SetImages(&NodeImages());
    TreeList1->ReadOnly = true;
    layout->addWidget(ExHeader1);
    layout->addWidget(TreeList1, 1);
    mStatus = new QLabel(this);
    layout->addWidget(mStatus);

    ExHeader1->SetHeight(fontMetrics().height() + 8);
    TExSections& sections = ExHeader1->Sections();
    sections.BeginUpdate();
    sections.AddText("項目名", taLeftJustify, 260, 100, 10000);
    sections.AddText("終了予定", taCenter, 100, 100, 100);
    sections.AddText("情報", taCenter, 48, 48, 48); // room for the memo, link and repeat marks
    sections.AddText("残日数", taRightJustify, 72, 72, 72);
    ExHeader1->Sections().Items(kInfoColumn)->SetPosition(1); // name, information, end, remaining days
    ExHeader1->Sections().Items(kNameSection)->AutoSize = true;
    ExHeader1->Sections().EndUpdate();
    TreeList1->SetHeaderControl(ExHeader1);
    ExHeader1->OnSectionResize = [this](TExHeader*, TExSection*) { TreeList1->Redraw(); };
    ExHeader1->OnMouseUp = [this](TExHeader*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        TreeList1->Redraw();
    };
    ExHeader1->OnSectionTrack = [this](TExHeader*, TExSection* s, int w, TSectionTrackState st) {
        TreeList1->DrawTrackLine(s, w, st);
    };
    // The information column: the memo, link and repeat marks, as in the main window.
    TreeList1->OnCustomDrawSubItem = [](TTreeList*, QPainter* p, TTreeNode* node, int index, QStyle::State, QRect r,
                                        bool&) {
        const TSchItem* item = node->Data();
        if (index == kInfoColumn - 1 && item) PaintInfoMarks(*p, r, InfoMarksOf(*item), kInfoMarkWidth);
    };
    TreeList1->OnMouseMove = [this](TTreeList*, Qt::MouseButtons, Qt::KeyboardModifiers, int x, int y) {
        TrackInfoMarks(*TreeList1, *ExHeader1, kInfoColumn, x, y, [this](const QString& s) { mStatus->setText(s); });
    };
    TreeList1->OnCollapsing = [](TTreeList*, TTreeNode* node, bool& allow) { allow = node->Parent() != nullptr; };
    TreeList1->OnMouseDown = [this](TTreeList*, Qt::MouseButton b, Qt::KeyboardModifiers, int x, int y) {
        RowMouseDown(b, x, y);
    };
    TreeList1->OnMouseUp = [this](TTreeList*, Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
        RowMouseUp(x, y);
    };
    TreeList1->OnDblClick = [this](TTreeList*) { ActionItemPropertyExecute(); };
    BuildCommands();
    auto* drop = new TDropDst(this);
    drop->SetControl(TreeList1->viewport());
    drop->OnFileDrop = [this](TDropDst*, const std::vector<std::string>& paths, int, int) {
        mMain.Run([&] {
            mMain.AddDroppedFiles(paths, mShownDate);
            Rebuild();
        });
    };

    const TMainSettings& place = mMain.Settings();
    if (place.TodayH > 0) {
        resize(place.TodayW, place.TodayH);
        PlaceFrame(*this, QPoint(place.TodayX, place.TodayY));
    }
}

TFormDaySchedule::~TFormDaySchedule() {
    mMain.StoreDayWindowPlace(QRect(pos(), size())); // the frame's corner, the client's size
    delete TreeList1;                                // before the rows it shows
    TreeList1 = nullptr;
}

void TFormDaySchedule::BuildCommands() {
    struct TCommand {
        QAction** Field;
        const char* Name;
        const char* Caption;
        const char* Hint;
        QKeySequence Key;
        int Image;
        void (TFormDaySchedule::*Handler)();
    };
    const TCommand commands[] = {
        {&ActionItemProperty, "ActionItemProperty", "項目のプロパティ(&P)",
         "項目のプロパティ|選択されている項目のプロパティを編集します。", QKeySequence(Qt::CTRL | Qt::Key_I),
         tiItemProperty, &TFormDaySchedule::ActionItemPropertyExecute},
        {&ActionItemChkReverse, "ActionItemChkReverse", "完了チェックを反転(&R)",
         "完了チェックを反転|選択されている予定の完了チェックを反転します。", QKeySequence(Qt::Key_Space), tiMarkDone,
         &TFormDaySchedule::ActionItemChkReverseExecute},
        {&ActionItemOpenLink, "ActionItemOpenLink", "関連リンクを開く(&L)", "関連リンクを開く|関連リンクを開きます。",
         QKeySequence(Qt::CTRL | Qt::Key_L), tiLink, &TFormDaySchedule::ActionItemOpenLinkExecute},
        {&ActionItemDelete, "ActionItemDelete", "削除(&D)", "削除|選択されている予定を削除します。",
         QKeySequence(Qt::Key_Delete), tiItemDelete, &TFormDaySchedule::ActionItemDeleteExecute},
        {&ActionPrev7, "ActionPrev7", "一週間前の予定を表示", "一週間前の予定を表示|一週間前の予定を表示します。",
         QKeySequence(Qt::SHIFT | Qt::ALT | Qt::Key_Left), tiNoImage, nullptr},
        {&ActionPrev, "ActionPrev", "前日の予定を表示", "前日の予定を表示|前日の予定を表示します。",
         QKeySequence(Qt::ALT | Qt::Key_Left), tiNoImage, nullptr},
        {&ActionNext, "ActionNext", "翌日の予定を表示", "翌日の予定を表示|翌日の予定を表示します。",
         QKeySequence(Qt::ALT | Qt::Key_Right), tiNoImage, nullptr},
        {&ActionNext7, "ActionNext7", "一週間後の予定を表示", "一週間後の予定を表示|一週間後の予定を表示します。",
         QKeySequence(Qt::SHIFT | Qt::ALT | Qt::Key_Right), tiNoImage, nullptr},
        {&ActionNewToDo, "ActionNewToDo", "予定の新規作成", "予定の新規作成|この日の予定を新規に作成します。",
         QKeySequence(Qt::CTRL | Qt::Key_N), tiToDoNew, &TFormDaySchedule::ActionNewToDoExecute},
        {&ActionFormClose, "ActionFormClose", "閉じる", "閉じる|このウィンドウを閉じます。",
         QKeySequence(Qt::Key_Escape), tiNoImage, nullptr},
        {&ActionOutFromTaskTray, "ActionOutFromTaskTray", "メインウィンドウ表示", "メインウィンドウ表示|",
         QKeySequence(), tiNoImage, &TFormDaySchedule::ActionOutFromTaskTrayExecute},
    };
    for (const TCommand& c : commands) {
        auto* a = new QAction(QString::fromUtf8(c.Caption), this);
        a->setObjectName(QString::fromUtf8(c.Name));
        SetLook(a, c.Caption, c.Hint, c.Image);
        a->setShortcut(c.Key);
        if (c.Handler) {
            const auto handler = c.Handler;
            connect(a, &QAction::triggered, this,
                    [this, handler] { mMain.Run([this, handler] { (this->*handler)(); }); });
        }
        addAction(a);
        *c.Field = a;
    }
    const std::pair<QAction*, int> steps[] = {{ActionPrev7, -7}, {ActionPrev, -1}, {ActionNext, 1}, {ActionNext7, 7}};
    for (const auto& [action, days] : steps)
        connect(action, &QAction::triggered, this, [this, days = days] { mMain.Run([&] { Step(days); }); });
    connect(ActionFormClose, &QAction::triggered, this, &QDialog::close);
    for (QAction* a : {ActionNewToDo, static_cast<QAction*>(nullptr), ActionItemChkReverse, ActionItemProperty,
                       ActionItemOpenLink, ActionItemDelete, static_cast<QAction*>(nullptr), ActionPrev7, ActionPrev,
                       ActionNext, ActionNext7, static_cast<QAction*>(nullptr), ActionOutFromTaskTray})
        a ? ToolBar1->addAction(a) : static_cast<void>(ToolBar1->addSeparator());
    // At its first size every button is in sight, none behind the toolbar's overflow arrow.
    resize(std::max(width(), ToolBar1->sizeHint().width()), height());
    TreeList1->setContextMenuPolicy(Qt::CustomContextMenu);
    auto* menu = new QMenu(this);
    menu->addActions({ActionItemChkReverse, ActionItemProperty, ActionItemOpenLink, ActionItemDelete});
    connect(TreeList1, &QWidget::customContextMenuRequested, this,
            [this, menu](const QPoint& pos) { menu->popup(TreeList1->viewport()->mapToGlobal(pos)); });
    connect(TreeList1->selectionModel(), &QItemSelectionModel::currentChanged, this, &TFormDaySchedule::UpdateActions);
}

QAction* TFormDaySchedule::FindAction(const char* name) const {
    return findChild<QAction*>(QString::fromUtf8(name));
}

TSchItem* TFormDaySchedule::SelectedToDo() const {
    TTreeNode* node = TreeList1->Selected();
    TSchItem* item = node ? node->Data() : nullptr;
    return item && !item->IsFolder() ? item : nullptr;
}

bool TFormDaySchedule::SelectedInMain() const {
    const TSchItem* item = SelectedToDo();
    return item && mMain.SelectedItem() == item;
}

void TFormDaySchedule::UpdateActions() {
    const TSchItem* item = SelectedToDo();
    for (QAction* a : {ActionItemProperty, ActionItemChkReverse, ActionItemDelete})
        a->setEnabled(item != nullptr);
    ActionItemOpenLink->setEnabled(item && !item->Link.empty());
    ActionOutFromTaskTray->setEnabled(mMain.InTaskTray());
    if (!item) return;
    if (item->Checked)
        SetLook(ActionItemChkReverse, "未完了に戻す(&R)", "未完了に戻す|選択されている予定を、未完了に戻します。",
                tiMarkUndone);
    else
        SetLook(ActionItemChkReverse, "完了にする(&R)", "完了にする|選択されている予定を、完了にします。", tiMarkDone);
}

void TFormDaySchedule::Build(TDate date) {
    const TEvalContext& ctx = mMain.Shared().Eval;
    const TDayList list = BuildDayList(CollectDayItems(mMain.Shared().Document.Nodes(), ctx, date), ctx, date);
    TreeList1->BeginUpdate();
    mNodes.Clear();
    TTreeNode* root = mNodes.Add(nullptr, Utf8ToCp932Lossy(list.RootText));
    root->SetImages(kDayRootImage);
    root->SubItems()->Pad(3);
    setWindowTitle(QString::fromStdString(list.RootText));
    for (const TDayCategory& c : list.Categories) {
        TTreeNode* category = mNodes.AddChild(root, Utf8ToCp932Lossy(c.Text));
        category->SetImages(c.Image);
        category->SubItems()->Pad(3);
        for (const TDayRow& r : c.Rows) {
            TTreeNode* row = mNodes.AddChild(category, r.Name);
            row->SetImages(r.Image);
            row->SubItems()->SetText(0, r.EndText);
            row->SubItems()->SetText(1, "");
            row->SubItems()->SetText(2, r.RemainingText);
            row->SubItems()->SetData(r.Item); // the main tree's item; never owned here
        }
    }
    if (list.NothingListed) mNodes.AddChild(root, Utf8ToCp932Lossy(kNoDayItemsText))->SetImages(kNoDayItemsImage);
    for (TTreeNode* n = root; n; n = n->GetNext())
        n->Expand();
    TreeList1->EndUpdate();
    TreeList1->SetSelected(root);
    mShownDate = date;
    if (const TSchItem* selected = mMain.SelectedItem())
        for (TTreeNode* n = root; n; n = n->GetNext())
            if (n->Data() == selected) {
                TreeList1->SetSelected(n);
                TreeList1->scrollTo(TreeList1->Model().IndexOf(n));
                break;
            }
    UpdateActions();
}

// Items of the main tree are going: the rows that point at them go first, and the day is listed
// anew once the change is done.
void TFormDaySchedule::ForgetRows() {
    if (mNodes.Count() == 0) return;
    mNodes.Clear();
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (mNodes.Count() == 0) Rebuild();
        },
        Qt::QueuedConnection);
}

void TFormDaySchedule::Rebuild() {
    Build(mShownDate);
    mMain.SetSelectedDate(mShownDate);
}

void TFormDaySchedule::Step(int days) {
    mShownDate += days;
    Rebuild();
}

void TFormDaySchedule::ActionItemPropertyExecute() {
    if (SelectedInMain()) mMain.OpenItemProperty(pfName);
    Rebuild();
}

void TFormDaySchedule::ActionItemOpenLinkExecute() {
    if (SelectedInMain()) mMain.Execute("ActionOpenLink");
}

void TFormDaySchedule::ActionItemChkReverseExecute() {
    TSchItem* item = SelectedToDo();
    if (!item || !SelectedInMain()) return;
    if (item->State == ssWarning) {
        mMain.Shared().Desktop.Sound(sndExclamation);
        const std::string text = "遅延項目「" + Cp932ToUtf8(item->Name) + "」を完了にしますか？";
        if (mMain.Shared().Desktop.MessageBox(text, mtConfirmation, mbYes | mbNo) != mrYes) return;
    }
    mMain.Execute("ActionItemChkReverse");
    Rebuild();
}

void TFormDaySchedule::ActionItemDeleteExecute() {
    if (SelectedToDo()) mMain.Execute("ActionItemDelete");
    Rebuild();
}

void TFormDaySchedule::ActionNewToDoExecute() {
    TTreeNode* at = SelectedToDo() && mMain.SelectedItem() ? mMain.SelectedNode() : nullptr;
    mMain.NewToDo(at, kNewToDoName, mShownDate, true);
    Rebuild();
}

void TFormDaySchedule::RowMouseDown(Qt::MouseButton button, int x, int y) {
    mCheckClickNode = nullptr;
    TTreeNode* node = TreeList1->GetNodeAt(x, y);
    const unsigned hit = TreeList1->GetHitTestInfoAt(x, y);
    if (!node || (hit & (htOnButton | htOnIndent))) return;
    TreeList1->SetSelected(node);
    mStatus->clear();
    TSchItem* item = SelectedToDo();
    if (!item) return;
    mMain.SelectNode(item->Node);
    std::string path = "/";
    std::vector<std::string> folders;
    for (TTreeNode* p = item->Node->Parent(); p && p->Parent(); p = p->Parent())
        folders.push_back(p->Text());
    for (auto it = folders.rbegin(); it != folders.rend(); ++it)
        path += Cp932ToUtf8(*it) + "/";
    mStatus->setText(QString::fromStdString(path));
    if (hit & htOnIcon) mCheckClickNode = node;
    TExSection* s = ExHeader1->GetSectionAt(x, 1);
    if (button == Qt::LeftButton && s && s->Index() == kInfoColumn) {
        const int offset = x + TreeList1->horizontalScrollBar()->value() - s->Left();
        const EInfoMarkClick mark = InfoMarkClickAt(*item, offset);
        if (mark == icMemo)
            mMain.Run([this] {
                mMain.OpenItemProperty(pfMemo);
                Rebuild();
            });
        else if (mark == icLink)
            mMain.Run([this] { ActionItemOpenLinkExecute(); });
    }
    UpdateActions();
}

void TFormDaySchedule::RowMouseUp(int x, int y) {
    TTreeNode* node = mCheckClickNode;
    mCheckClickNode = nullptr;
    if (!node || TreeList1->GetNodeAt(x, y) != node || !(TreeList1->GetHitTestInfoAt(x, y) & htOnIcon)) return;
    TreeList1->SetSelected(node);
    mMain.Run([this] { ActionItemChkReverseExecute(); });
}

void TFormDaySchedule::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && TreeList1) {
        TreeList1->HideSelection = !isActiveWindow();
        TreeList1->Redraw();
    }
}

// Leaving the tray closes this window too.
void TFormDaySchedule::ActionOutFromTaskTrayExecute() {
    mMain.OutFromTaskTray();
}

} // namespace quillo
