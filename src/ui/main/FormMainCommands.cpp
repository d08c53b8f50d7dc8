// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's commands: one table of names, captions, hints, shortcuts, pictures, handlers
// and enabling rules; the menus and the tool bar; the idle-time update.
#include "base/Desktop.h"
#include "base/Exceptions.h"
#include "base/StrUtil.h"
#include "main/FormMain.h"
#include "main/Images.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace quillo {

struct TFormMain::TCommand {
    QAction* TFormMain::*Field;
    const char* Name;
    const char* Caption;
    const char* Hint; // "short|long"
    QKeyCombination Shortcut;
    int Image;
    void (TFormMain::*Handler)();
    bool (TFormMain::*Enabled)() const; // null: always enabled
};

namespace {
// Setting a property to the value it has would still post an update of every button that shows
// the action, which wakes the idle loop again: change only what differs.
void SetText(QAction* a, const QString& text) {
    if (a->text() != text) a->setText(text);
}

void SetHint(QAction* a, const char* hint) {
    const auto [tip, status] = SplitHint(hint);
    const QString t = QString::fromStdString(tip), s = QString::fromStdString(status);
    if (a->toolTip() != t) a->setToolTip(t);
    if (a->statusTip() != s) a->setStatusTip(s);
}

void SetImage(QAction* a, int image) {
    if (a->property("ImageIndex").isValid() && a->property("ImageIndex").toInt() == image) return;
    a->setProperty("ImageIndex", image);
    const auto& images = ToolbarImages();
    a->setIcon(image >= 0 && image < int(images.size()) ? images[size_t(image)] : QIcon());
}

void SetEnabled(QAction* a, bool enabled) {
    if (a->isEnabled() != enabled) a->setEnabled(enabled);
}

} // namespace

void SetLook(QAction* a, const char* caption, const char* hint, int image) {
    SetText(a, QString::fromUtf8(caption));
    SetHint(a, hint);
    SetImage(a, image);
}

// clang-format off
const TFormMain::TCommand TFormMain::kCommands[] = {
    {&TFormMain::ActionFileNew, "ActionFileNew", "予定表の新規作成(&N)...",
     "予定表の新規作成|予定表を新規作成します。編集中の予定表は閉じられます。", {}, tiFileNew,
     &TFormMain::ActionFileNewExecute, nullptr},
    {&TFormMain::ActionFileOpen, "ActionFileOpen", "予定表を開く(&O)...",
     "予定表を開く|予定表を開きます。編集中の予定表は閉じられます。", {}, tiFileOpen, &TFormMain::ActionFileOpenExecute,
     nullptr},
    {&TFormMain::ActionFileExport, "ActionFileExport", "項目のエクスポート(&E)...",
     "項目のエクスポート|選択されている項目をファイルに書き出します。", {}, tiNoImage,
     &TFormMain::ActionFileExportExecute, &TFormMain::HasSelectedItem},
    {&TFormMain::ActionFileExportICal, "ActionFileExportICal", "iCalendar形式でエクスポート(&C)...",
     "iCalendar形式でエクスポート|予定表をiCalendar形式（.ics）で書き出します。", {}, tiNoImage,
     &TFormMain::ActionFileExportICalExecute, &TFormMain::HasSchedule},
    {&TFormMain::ActionFileImport, "ActionFileImport", "項目のインポート(&I)...",
     "項目のインポート|ファイルを項目として読み込みます。", {}, tiNoImage, &TFormMain::ActionFileImportExecute,
     &TFormMain::HasSchedule},
    {&TFormMain::ActionFileSave, "ActionFileSave", "上書き保存(&S)", "上書き保存|編集中の予定表を上書き保存します。",
     Qt::CTRL | Qt::Key_S, tiFileSave, &TFormMain::ActionFileSaveExecute, &TFormMain::CanSave},
    {&TFormMain::ActionFileSaveAs, "ActionFileSaveAs", "別名で保存(&A)...",
     "別名で保存|編集中の予定表を別の名前で保存します。", {}, tiNoImage, &TFormMain::ActionFileSaveAsExecute,
     &TFormMain::HasSchedule},
    {&TFormMain::ActionFileClose, "ActionFileClose", "閉じる(&C)", "閉じる|編集中の予定表を閉じます。", {}, tiNoImage,
     &TFormMain::ActionFileCloseExecute, &TFormMain::HasSchedule},
    {&TFormMain::ActionFileExit, "ActionFileExit", "終了(&X)", "終了|このプログラムを終了します。",
     Qt::CTRL | Qt::Key_Q, tiNoImage, &TFormMain::ActionFileExitExecute, nullptr},
    // Caption, hint and picture of the two switches follow their state in UpdateActions.
    {&TFormMain::ActionAutoSaveChk, "ActionAutoSaveChk", "", "", {}, tiAutoSave, &TFormMain::ActionAutoSaveChkExecute,
     &TFormMain::HasSchedule},
    {&TFormMain::ActionShowChart, "ActionShowChart", "", "", {}, tiListView, &TFormMain::ActionShowChartExecute,
     nullptr},
    {&TFormMain::ActionChartNext, "ActionChartNext", "チャート表示を一週間進める(&N)",
     "一週間進める|チャート表示を一週間進めます。", {}, tiChartNext, &TFormMain::ActionChartNextExecute,
     &TFormMain::ChartMode},
    {&TFormMain::ActionChartPrev, "ActionChartPrev", "チャート表示を一週間戻す(&P)",
     "一週間戻す|チャート表示を一週間戻します。", {}, tiChartPrev, &TFormMain::ActionChartPrevExecute,
     &TFormMain::ChartMode},
    {&TFormMain::ActionChartNext1, "ActionChartNext1", "チャート表示を一日進める(&O)",
     "一日進める|チャート表示を一日進めます。", {}, tiChartNext1, &TFormMain::ActionChartNext1Execute,
     &TFormMain::ChartMode},
    {&TFormMain::ActionEditUndo, "ActionEditUndo", "元に戻す(&U)", "元に戻す|直前の変更を元に戻します。", {}, tiNoImage,
     &TFormMain::ActionEditUndoExecute, &TFormMain::CanUndo},
    {&TFormMain::ActionEditRedo, "ActionEditRedo", "やり直し(&R)", "やり直し|元に戻した変更をやり直します。", {},
     tiNoImage, &TFormMain::ActionEditRedoExecute, &TFormMain::CanRedo},
    {&TFormMain::ActionItemToDoNew, "ActionItemToDoNew", "予定の新規作成(&Y)...",
     "予定の新規作成|新規に予定を作成します。", Qt::CTRL | Qt::Key_N, tiToDoNew, &TFormMain::ActionItemToDoNewExecute,
     &TFormMain::HasSchedule},
    {&TFormMain::ActionItemFolderNew, "ActionItemFolderNew", "フォルダ新規作成(&F)",
     "フォルダ新規作成|新規にフォルダを作成します。", {}, tiFolderNew, &TFormMain::ActionItemFolderNewExecute,
     &TFormMain::HasSchedule},
    {&TFormMain::ActionItemDelete, "ActionItemDelete", "削除(&D)", "削除|選択されている項目を削除します。", {},
     tiItemDelete, &TFormMain::ActionItemDeleteExecute, &TFormMain::HasSelectedItem},
    {&TFormMain::ActionItemDeleteNoWarning, "ActionItemDeleteNoWarning", "無警告で削除(&X)",
     "無警告で削除|確認ダイアログを表示せずに、選択されている項目を削除します。", {}, tiNoImage,
     &TFormMain::ActionItemDeleteNoWarningExecute, &TFormMain::HasSelectedItem},
    // Caption, hint and picture follow the selected to-do in UpdateActions.
    {&TFormMain::ActionItemChkReverse, "ActionItemChkReverse", "完了チェックを反転(&R)",
     "完了チェックを反転|選択されている項目の完了チェックを反転します。", {}, tiMarkUndone,
     &TFormMain::ActionItemChkReverseExecute, &TFormMain::SelectedIsToDo},
    {&TFormMain::ActionItemUp, "ActionItemUp", "上に移動(&M)", "上に移動|選択されている項目を上に移動します。", {},
     tiItemUp, &TFormMain::ActionItemUpExecute, &TFormMain::HasPrevSibling},
    {&TFormMain::ActionItemDown, "ActionItemDown", "下に移動(&N)", "下に移動|選択されている項目を下に移動します。", {},
     tiItemDown, &TFormMain::ActionItemDownExecute, &TFormMain::HasNextSibling},
    {&TFormMain::ActionToDoToFolder, "ActionToDoToFolder", "予定をフォルダに変換(&H)",
     "予定をフォルダに変換|フォルダを新規作成し、その中に選択されている予定を移動します。", {}, tiNoImage,
     &TFormMain::ActionToDoToFolderExecute, &TFormMain::SelectedIsToDo},
    {&TFormMain::ActionDateBeginP, "ActionDateBeginP", "開始予定日を一日進める(&F)",
     "開始予定日を一日進める|選択されている項目の開始予定日を一日進めます。フォルダの処理も可能です。", {},
     tiBeginLater, &TFormMain::ActionDateBeginPExecute, &TFormMain::HasBegin},
    {&TFormMain::ActionDateBeginM, "ActionDateBeginM", "開始予定日を一日戻す(&G)",
     "開始予定日を一日戻す|選択されている項目の開始予定日を一日戻します。フォルダの処理も可能です。", {},
     tiBeginEarlier, &TFormMain::ActionDateBeginMExecute, &TFormMain::HasBegin},
    {&TFormMain::ActionDateP, "ActionDateP", "期間全体を一日進める(&H)",
     "期間全体を一日進める|選択されている項目の開始予定日と終了予定日を一日進めます。フォルダの処理も可能です。", {},
     tiPeriodLater, &TFormMain::ActionDatePExecute, &TFormMain::HasBeginOrEnd},
    {&TFormMain::ActionDateM, "ActionDateM", "期間全体を一日戻す(&J)",
     "期間全体を一日戻す|選択されている項目の開始予定日と終了予定日を一日戻します。フォルダの処理も可能です。", {},
     tiPeriodEarlier, &TFormMain::ActionDateMExecute, &TFormMain::HasBeginOrEnd},
    {&TFormMain::ActionDateEndP, "ActionDateEndP", "終了予定日を一日進める(&L)",
     "終了予定日を一日進める|選択されている項目の終了予定日を一日進めます。フォルダの処理も可能です。", {}, tiEndLater,
     &TFormMain::ActionDateEndPExecute, &TFormMain::HasEnd},
    {&TFormMain::ActionDateEndM, "ActionDateEndM", "終了予定日を一日戻す(&K)",
     "終了予定日を一日戻す|選択されている項目の終了予定日を一日戻します。フォルダの処理も可能です。", {}, tiEndEarlier,
     &TFormMain::ActionDateEndMExecute, &TFormMain::HasEnd},
    {&TFormMain::ActionItemCopy, "ActionItemCopy", "コピー(&C)",
     "コピー|選択されている項目をクリップボードにコピーします。", {}, tiCopy, &TFormMain::ActionItemCopyExecute,
     &TFormMain::HasSelectedItem},
    {&TFormMain::ActionItemPaste, "ActionItemPaste", "貼り付け(&P)", "貼り付け|クリップボードから項目を貼り付けます。",
     {}, tiPaste, &TFormMain::ActionItemPasteExecute, &TFormMain::HasSchedule},
    {&TFormMain::ActionSetHolidays, "ActionSetHolidays", "休日と日数計算(&H)...",
     "休日と日数計算|休日にする曜日・日付と、チャート注意表示の設定を行います。", {}, tiNoImage,
     &TFormMain::ActionSetHolidaysExecute, nullptr},
    {&TFormMain::ActionSetDesktop, "ActionSetDesktop", "デスクトップに作成(&T)",
     "デスクトップに作成|デスクトップにショートカットを作成します。", {}, tiNoImage,
     &TFormMain::ActionSetDesktopExecute, nullptr},
    {&TFormMain::ActionSetStartMenu, "ActionSetStartMenu", "スタートメニューに登録(&M)",
     "スタートメニューに登録|スタートメニューにショートカットを登録します。", {}, tiNoImage,
     &TFormMain::ActionSetStartMenuExecute, nullptr},
    {&TFormMain::ActionCutStartMenu, "ActionCutStartMenu", "スタートメニューから削除(&N)",
     "スタートメニューから削除|スタートメニューに登録されているショートカットを削除します。", {}, tiNoImage,
     &TFormMain::ActionCutStartMenuExecute, nullptr},
    {&TFormMain::ActionSetStartUp, "ActionSetStartUp", "スタートアップに登録(&S)",
     "スタートアップに登録|編集中のファイルのショートカットをスタートアップに登録し、Windows起動時に自動で開くように設定します。",
     {}, tiNoImage, &TFormMain::ActionSetStartUpExecute, &TFormMain::HasFileName},
    {&TFormMain::ActionCutStartUp, "ActionCutStartUp", "スタートアップから削除(&D)",
     "スタートアップから削除|スタートアップに登録されているショートカットを削除します。", {}, tiNoImage,
     &TFormMain::ActionCutStartUpExecute, nullptr},
    {&TFormMain::ActionSetReg, "ActionSetReg", "関連づけを設定(&S)",
     "関連づけを設定|拡張子QLPに、このプログラムを関連付けます。", {}, tiNoImage, &TFormMain::ActionSetRegExecute,
     nullptr},
    {&TFormMain::ActionCutReg, "ActionCutReg", "関連づけを解除(&D)",
     "関連づけを解除|拡張子QLPから、このプログラムの関連づけを解除します。", {}, tiNoImage,
     &TFormMain::ActionCutRegExecute, nullptr},
    {&TFormMain::ActionHelp, "ActionHelp", "ヘルプ(&H)", "ヘルプ|ヘルプを表示します。", Qt::Key_F1, tiNoImage,
     &TFormMain::ActionHelpExecute, nullptr},
    {&TFormMain::ActionVerDlg, "ActionVerDlg", "バージョン情報(&V)", "バージョン情報|バージョン情報を表示します。", {},
     tiNoImage, &TFormMain::ActionVerDlgExecute, nullptr},
    {&TFormMain::ActionShowTodaySchedule, "ActionShowTodaySchedule", "今日の予定(&0)",
     "今日の予定|今日の予定を一覧表示します。", Qt::CTRL | Qt::Key_T, tiTodaySchedule,
     &TFormMain::ActionShowTodayScheduleExecute, &TFormMain::HasSchedule},
    {&TFormMain::ActionIntoTaskTray, "ActionIntoTaskTray", "タスクトレイに入れる(&T)",
     "タスクトレイに入れる|" "このウィンドウを閉じて、タスクトレイに入れます。タスクトレイのアイコンをクリックするとメニューが開きます。",
     {}, tiIntoTray, &TFormMain::ActionIntoTaskTrayExecute, nullptr},
    {&TFormMain::ActionOutFromTaskTray, "ActionOutFromTaskTray", "タスクトレイから出す", "タスクトレイから出す",
     {}, tiOutOfTray, &TFormMain::ActionOutFromTaskTrayExecute, nullptr},
    {&TFormMain::ActionOpenLink, "ActionOpenLink", "関連リンクを開く(&O)",
     "関連リンクを開く|選択されている項目に設定されている関連リンクを開きます。", Qt::CTRL | Qt::Key_L, tiLink,
     &TFormMain::ActionOpenLinkExecute, &TFormMain::HasLink},
    {&TFormMain::ActionItemProperty, "ActionItemProperty", "項目のプロパティ(&I)...",
     "項目のプロパティ|選択されている項目の項目名、開始予定日、終了予定日、メモ、関連リンクなどを編集します。",
     Qt::CTRL | Qt::Key_I, tiItemProperty, &TFormMain::ActionItemPropertyExecute, &TFormMain::HasSelectedItem},
    {&TFormMain::ActionChartPrev1, "ActionChartPrev1", "チャート表示を一日戻す(&M)",
     "一日戻す|チャート表示を一日戻します。", {}, tiChartPrev1, &TFormMain::ActionChartPrev1Execute,
     &TFormMain::ChartMode},
};
// clang-format on

void TFormMain::BuildCommands() {
    for (const TCommand& c : kCommands) {
        auto* a = new QAction(QString::fromUtf8(c.Caption), this);
        a->setObjectName(QString::fromUtf8(c.Name));
        SetHint(a, c.Hint);
        if (c.Shortcut != QKeyCombination()) a->setShortcut(QKeySequence(c.Shortcut));
        SetImage(a, c.Image);
        if (c.Handler) {
            const auto handler = c.Handler;
            connect(a, &QAction::triggered, this, [this, handler] { Run([this, handler] { (this->*handler)(); }); });
        }
        addAction(a);
        this->*c.Field = a;
    }
}

QAction* TFormMain::FindAction(const char* name) const {
    for (const TCommand& c : kCommands)
        if (std::string_view(c.Name) == name) return this->*c.Field;
    return nullptr;
}

void TFormMain::BuildMenus() {
    auto fill = [](QMenu* menu, std::initializer_list<QAction*> actions) {
        for (QAction* a : actions)
            if (a)
                menu->addAction(a);
            else
                menu->addSeparator();
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    fill(file, {ActionFileNew, ActionFileOpen, nullptr, ActionFileExport, ActionFileExportICal, ActionFileImport,
                nullptr, ActionFileSave, ActionFileSaveAs, ActionFileClose, nullptr, ActionFileExit});
    QMenu* items = menuBar()->addMenu(QStringLiteral("項目(&I)"));
    items->menuAction()->setStatusTip(QStringLiteral("予定とフォルダの作成、移動、複製、削除を行います。"));
    fill(items, {ActionEditUndo, ActionEditRedo, nullptr, ActionItemToDoNew, ActionItemFolderNew, nullptr,
                 ActionItemCopy, ActionItemPaste, nullptr, ActionToDoToFolder, nullptr, ActionItemUp, ActionItemDown,
                 nullptr, ActionItemDelete, ActionItemDeleteNoWarning});
    QMenu* todo = menuBar()->addMenu(QStringLiteral("予定(&T)"));
    todo->menuAction()->setStatusTip(
        QStringLiteral("予定の項目名、開始予定日、終了予定日、メモ、関連リンク、完了チェックなどを編集します。"));
    fill(todo, {ActionDateBeginP, ActionDateBeginM, ActionDateP, ActionDateM, ActionDateEndP, ActionDateEndM, nullptr,
                ActionOpenLink, ActionItemChkReverse, nullptr, ActionItemProperty});
    QMenu* settings = menuBar()->addMenu(QStringLiteral("設定(&S)"));
    settings->addAction(ActionAutoSaveChk);
    settings->addSeparator();
    QMenu* shortcuts = settings->addMenu(QStringLiteral("ショートカット(&S)"));
    shortcuts->menuAction()->setStatusTip(QStringLiteral("ショートカットを作成します。"));
    fill(shortcuts, {ActionSetDesktop, nullptr, ActionSetStartMenu, ActionCutStartMenu, nullptr, ActionSetStartUp,
                     ActionCutStartUp});
    fill(settings->addMenu(QStringLiteral("関連付け(R)")), {ActionSetReg, ActionCutReg});
    settings->addSeparator();
    settings->addAction(ActionSetHolidays);
    QMenu* view = menuBar()->addMenu(QStringLiteral("表示(&V)"));
    QMenu* help = menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
    fill(help, {ActionHelp, nullptr, ActionVerDlg});
    fill(view, {ActionShowChart, ActionChartNext, ActionChartPrev, ActionChartNext1, ActionChartPrev1, nullptr,
                ActionShowTodaySchedule, ActionIntoTaskTray});

    for (QAction* a : {ActionFileNew,
                       ActionFileOpen,
                       ActionFileSave,
                       ActionAutoSaveChk,
                       static_cast<QAction*>(nullptr),
                       ActionItemToDoNew,
                       ActionItemFolderNew,
                       static_cast<QAction*>(nullptr),
                       ActionItemCopy,
                       ActionItemPaste,
                       static_cast<QAction*>(nullptr),
                       ActionItemUp,
                       ActionItemDown,
                       static_cast<QAction*>(nullptr),
                       ActionItemDelete,
                       static_cast<QAction*>(nullptr),
                       ActionDateBeginM,
                       ActionDateBeginP,
                       ActionDateM,
                       ActionDateP,
                       ActionDateEndM,
                       ActionDateEndP,
                       static_cast<QAction*>(nullptr),
                       ActionItemProperty,
                       static_cast<QAction*>(nullptr),
                       ActionShowChart,
                       ActionChartPrev,
                       ActionChartPrev1,
                       ActionChartNext1,
                       ActionChartNext,
                       static_cast<QAction*>(nullptr),
                       ActionShowTodaySchedule,
                       static_cast<QAction*>(nullptr),
                       ActionIntoTaskTray})
        if (a)
            ToolBar1->addAction(a);
        else
            ToolBar1->addSeparator();
}

int TFormMain::ImageOf(const QAction* action) {
    return action->property("ImageIndex").toInt();
}

bool TFormMain::HasSelectedItem() const {
    return SelectedItem() != nullptr;
}

bool TFormMain::CanSave() const {
    return ScheduleOpen() && mDocument.Modified();
}

void TFormMain::ActionFileExitExecute() {
    close();
}

void TFormMain::UpdateActions() {
    for (const TCommand& c : kCommands) {
        const bool enabled = c.Enabled ? (this->*c.Enabled)() : c.Handler != nullptr;
        SetEnabled(this->*c.Field, enabled);
    }
    SetImage(ActionFileSave, mDocument.AutoSave ? tiAutoSave : tiFileSave);
    if (mDocument.AutoSave)
        SetLook(ActionAutoSaveChk, "自動保存を無効にする(&A)", "自動保存を無効にする|自動保存を無効にします。",
                tiFileSave);
    else
        SetLook(ActionAutoSaveChk, "自動保存を有効にする(&A)",
                "自動保存を有効にする|自動保存を有効にします。10分毎に予定表が上書き保存されます。"
                "予定表を閉じるときにも自動的に保存が行われます。",
                tiAutoSave);
    UpdateEditingLooks();
    if (ChartMode())
        SetLook(ActionShowChart, "リストで表示(&C)", "リストで表示|予定の状態をリストで表示します。", tiListView);
    else
        SetLook(ActionShowChart, "チャートで表示(&C)", "チャートで表示|予定の状態をチャートで表示します。",
                tiChartView);
}

void TFormMain::Run(const std::function<void()>& command) {
    try {
        command();
    } catch (const EQuilloError& e) {
        mDesktop.Sound(sndError);
        mDesktop.MessageBox(e.what(), mtError, mbOK);
    }
    UpdateActions();
}

} // namespace quillo
