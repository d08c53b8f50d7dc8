// SPDX-License-Identifier: GPL-3.0-or-later
// The table of the main window's commands, and where its menus and tool bar show them. The
// switches (autosave, chart or list) and the done mark take their caption, hint and picture from
// the state at every idle update.
#include "main/Images.h"
#include "main/MainCommands.h"

#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace quillo {

namespace {
const TCommandRow kRows[] = {
    {"ActionFileNew", "予定表の新規作成(&N)...",
     "予定表の新規作成|予定表を新規作成します。編集中の予定表は閉じられます。", tiFileNew},
    {"ActionFileOpen", "予定表を開く(&O)...", "予定表を開く|予定表を開きます。編集中の予定表は閉じられます。",
     tiFileOpen},
    {"ActionFileExport", "項目のエクスポート(&E)...", "項目のエクスポート|選択されている項目をファイルに書き出します。",
     tiNoImage},
    {"ActionFileExportICal", "iCalendar形式でエクスポート(&C)...",
     "iCalendar形式でエクスポート|予定表をiCalendar形式（.ics）で書き出します。", tiNoImage},
    {"ActionFileImport", "項目のインポート(&I)...", "項目のインポート|ファイルを項目として読み込みます。", tiNoImage},
    {"ActionFileSave", "上書き保存(&S)", "上書き保存|編集中の予定表を上書き保存します。", tiFileSave,
     Qt::CTRL | Qt::Key_S},
    {"ActionFileSaveAs", "別名で保存(&A)...", "別名で保存|編集中の予定表を別の名前で保存します。", tiNoImage},
    {"ActionFileClose", "閉じる(&C)", "閉じる|編集中の予定表を閉じます。", tiNoImage},
    {"ActionFileExit", "終了(&X)", "終了|このプログラムを終了します。", tiNoImage, Qt::CTRL | Qt::Key_Q},
    {"ActionAutoSaveChk", "", "", tiAutoSave},
    {"ActionShowChart", "", "", tiListView, Qt::Key_Tab, kuEditing},
    {"ActionChartNext", "チャート表示を一週間進める(&N)", "一週間進める|チャート表示を一週間進めます。", tiChartNext,
     Qt::ALT | Qt::SHIFT | Qt::Key_Right, kuEditing},
    {"ActionChartPrev", "チャート表示を一週間戻す(&P)", "一週間戻す|チャート表示を一週間戻します。", tiChartPrev,
     Qt::ALT | Qt::SHIFT | Qt::Key_Left, kuEditing},
    {"ActionChartNext1", "チャート表示を一日進める(&O)", "一日進める|チャート表示を一日進めます。", tiChartNext1,
     Qt::ALT | Qt::Key_Right, kuEditing},
    {"ActionEditUndo", "元に戻す(&U)", "元に戻す|直前の変更を元に戻します。", tiNoImage, Qt::CTRL | Qt::Key_Z,
     kuEditing},
    {"ActionEditRedo", "やり直し(&R)", "やり直し|元に戻した変更をやり直します。", tiNoImage, Qt::CTRL | Qt::Key_Y,
     kuEditing, Qt::CTRL | Qt::SHIFT | Qt::Key_Z},
    {"ActionItemToDoNew", "予定の新規作成(&Y)...", "予定の新規作成|新規に予定を作成します。", tiToDoNew,
     Qt::CTRL | Qt::Key_N},
    {"ActionItemFolderNew", "フォルダ新規作成(&F)", "フォルダ新規作成|新規にフォルダを作成します。", tiFolderNew,
     Qt::CTRL | Qt::SHIFT | Qt::Key_N, kuEditing},
    {"ActionItemDelete", "削除(&D)", "削除|選択されている項目を削除します。", tiItemDelete, Qt::Key_Delete, kuEditing},
    {"ActionItemDeleteNoWarning", "無警告で削除(&X)",
     "無警告で削除|確認ダイアログを表示せずに、選択されている項目を削除します。", tiNoImage, Qt::SHIFT | Qt::Key_Delete,
     kuEditing},
    {"ActionItemChkReverse", "完了チェックを反転(&R)",
     "完了チェックを反転|選択されている項目の完了チェックを反転します。", tiMarkUndone, Qt::Key_Space, kuEditing},
    {"ActionItemUp", "上に移動(&M)", "上に移動|選択されている項目を上に移動します。", tiItemUp, Qt::CTRL | Qt::Key_Up,
     kuEditing},
    {"ActionItemDown", "下に移動(&N)", "下に移動|選択されている項目を下に移動します。", tiItemDown,
     Qt::CTRL | Qt::Key_Down, kuEditing},
    {"ActionToDoToFolder", "予定をフォルダに変換(&H)",
     "予定をフォルダに変換|フォルダを新規作成し、その中に選択されている予定を移動します。", tiNoImage},
    {"ActionDateBeginP", "開始予定日を一日進める(&F)",
     "開始予定日を一日進める|選択されている項目の開始予定日を一日進めます。フォルダの処理も可能です。", tiBeginLater,
     Qt::SHIFT | Qt::Key_Right, kuEditing},
    {"ActionDateBeginM", "開始予定日を一日戻す(&G)",
     "開始予定日を一日戻す|選択されている項目の開始予定日を一日戻します。フォルダの処理も可能です。", tiBeginEarlier,
     Qt::SHIFT | Qt::Key_Left, kuEditing},
    {"ActionDateP", "期間全体を一日進める(&H)",
     "期間全体を一日進める|選択されている項目の開始予定日と終了予定日を一日進めます。フォルダの処理も可能です。",
     tiPeriodLater, Qt::CTRL | Qt::SHIFT | Qt::Key_Right, kuEditing},
    {"ActionDateM", "期間全体を一日戻す(&J)",
     "期間全体を一日戻す|選択されている項目の開始予定日と終了予定日を一日戻します。フォルダの処理も可能です。",
     tiPeriodEarlier, Qt::CTRL | Qt::SHIFT | Qt::Key_Left, kuEditing},
    {"ActionDateEndP", "終了予定日を一日進める(&L)",
     "終了予定日を一日進める|選択されている項目の終了予定日を一日進めます。フォルダの処理も可能です。", tiEndLater,
     Qt::CTRL | Qt::Key_Right, kuEditing},
    {"ActionDateEndM", "終了予定日を一日戻す(&K)",
     "終了予定日を一日戻す|選択されている項目の終了予定日を一日戻します。フォルダの処理も可能です。", tiEndEarlier,
     Qt::CTRL | Qt::Key_Left, kuEditing},
    {"ActionItemCopy", "コピー(&C)", "コピー|選択されている項目をクリップボードにコピーします。", tiCopy,
     Qt::CTRL | Qt::Key_C, kuEditing},
    {"ActionItemPaste", "貼り付け(&P)", "貼り付け|クリップボードから項目を貼り付けます。", tiPaste,
     Qt::CTRL | Qt::Key_V, kuEditing},
    {"ActionSetHolidays", "休日と日数計算(&H)...",
     "休日と日数計算|休日にする曜日・日付と、チャート注意表示の設定を行います。", tiNoImage},
    {"ActionSetDesktop", "デスクトップに作成(&T)", "デスクトップに作成|デスクトップにショートカットを作成します。",
     tiNoImage},
    {"ActionSetStartMenu", "スタートメニューに登録(&M)",
     "スタートメニューに登録|スタートメニューにショートカットを登録します。", tiNoImage},
    {"ActionCutStartMenu", "スタートメニューから削除(&N)",
     "スタートメニューから削除|スタートメニューに登録されているショートカットを削除します。", tiNoImage},
    {"ActionSetStartUp", "スタートアップに登録(&S)",
     "スタートアップに登録|"
     "編集中のファイルのショートカットをスタートアップに登録し、Windows起動時に自動で開くように設定します。",
     tiNoImage},
    {"ActionCutStartUp", "スタートアップから削除(&D)",
     "スタートアップから削除|スタートアップに登録されているショートカットを削除します。", tiNoImage},
    {"ActionSetReg", "関連づけを設定(&S)", "関連づけを設定|拡張子QLPに、このプログラムを関連付けます。", tiNoImage},
    {"ActionCutReg", "関連づけを解除(&D)", "関連づけを解除|拡張子QLPから、このプログラムの関連づけを解除します。",
     tiNoImage},
    {"ActionHelp", "ヘルプ(&H)", "ヘルプ|ヘルプを表示します。", tiNoImage, Qt::Key_F1},
    {"ActionVerDlg", "バージョン情報(&V)", "バージョン情報|バージョン情報を表示します。", tiNoImage},
    {"ActionShowTodaySchedule", "今日の予定(&0)", "今日の予定|今日の予定を一覧表示します。", tiTodaySchedule,
     Qt::CTRL | Qt::Key_T},
    {"ActionIntoTaskTray", "タスクトレイに入れる(&T)",
     "タスクトレイに入れる|"
     "このウィンドウを閉じて、タスクトレイに入れます。タスクトレイのアイコンをクリックするとメニューが開きます。",
     tiIntoTray},
    {"ActionOutFromTaskTray", "タスクトレイから出す", "タスクトレイから出す", tiOutOfTray},
    {"ActionOpenLink", "関連リンクを開く(&O)",
     "関連リンクを開く|選択されている項目に設定されている関連リンクを開きます。", tiLink, Qt::CTRL | Qt::Key_L},
    {"ActionItemProperty", "項目のプロパティ(&I)...",
     "項目のプロパティ|選択されている項目の項目名、開始予定日、終了予定日、メモ、関連リンクなどを編集します。",
     tiItemProperty, Qt::CTRL | Qt::Key_I},
    {"ActionChartPrev1", "チャート表示を一日戻す(&M)", "一日戻す|チャート表示を一日戻します。", tiChartPrev1,
     Qt::ALT | Qt::Key_Left, kuEditing},
    {"ActionFind", "検索(&F)...",
     "検索|項目名・メモ・関連リンクに文字列を含む項目と、その項目のあるフォルダだけを表示します。", tiNoImage,
     Qt::CTRL | Qt::Key_F},
    {"ActionFindNext", "次を検索(&X)", "次を検索|検索に一致する次の項目を選択します。", tiNoImage, Qt::Key_F3},
    {"ActionFindPrev", "前を検索(&V)", "前を検索|検索に一致する前の項目を選択します。", tiNoImage,
     Qt::SHIFT | Qt::Key_F3},
    {"ActionFindClose", "検索を終了(&E)", "検索を終了|検索を終了し、すべての項目を元のように表示します。", tiNoImage,
     Qt::Key_Escape, kuEditing},
};
} // namespace

const std::span<const TCommandRow> kMainCommands(kRows);

void BuildMainMenus(const TMainCommands& c, QMenuBar& bar, QToolBar& tools) {
    QMenu* file = bar.addMenu(QStringLiteral("ファイル(&F)"));
    c.Fill(file,
           {"ActionFileNew", "ActionFileOpen", "-", "ActionFileExport", "ActionFileExportICal", "ActionFileImport", "-",
            "ActionFileSave", "ActionFileSaveAs", "ActionFileClose", "-", "ActionFileExit"});
    QMenu* items = bar.addMenu(QStringLiteral("項目(&I)"));
    items->menuAction()->setStatusTip(QStringLiteral("予定とフォルダの作成、移動、複製、削除を行います。"));
    c.Fill(items, {"ActionEditUndo", "ActionEditRedo", "-", "ActionItemToDoNew", "ActionItemFolderNew", "-",
                   "ActionItemCopy", "ActionItemPaste", "-", "ActionToDoToFolder", "-", "ActionItemUp",
                   "ActionItemDown", "-", "ActionItemDelete", "ActionItemDeleteNoWarning"});
    QMenu* todo = bar.addMenu(QStringLiteral("予定(&T)"));
    todo->menuAction()->setStatusTip(
        QStringLiteral("予定の項目名、開始予定日、終了予定日、メモ、関連リンク、完了チェックなどを編集します。"));
    c.Fill(todo, {"ActionDateBeginP", "ActionDateBeginM", "ActionDateP", "ActionDateM", "ActionDateEndP",
                  "ActionDateEndM", "-", "ActionOpenLink", "ActionItemChkReverse", "-", "ActionItemProperty"});
    QMenu* settings = bar.addMenu(QStringLiteral("設定(&S)"));
    c.Fill(settings, {"ActionAutoSaveChk", "-"});
    QMenu* shortcuts = settings->addMenu(QStringLiteral("ショートカット(&S)"));
    shortcuts->menuAction()->setStatusTip(QStringLiteral("ショートカットを作成します。"));
    c.Fill(shortcuts, {"ActionSetDesktop", "-", "ActionSetStartMenu", "ActionCutStartMenu", "-", "ActionSetStartUp",
                       "ActionCutStartUp"});
    c.Fill(settings->addMenu(QStringLiteral("関連付け(R)")), {"ActionSetReg", "ActionCutReg"});
    c.Fill(settings, {"-", "ActionSetHolidays"});
    if (c.Find("ActionNotifyOn")) {
        QMenu* notify = settings->addMenu(QStringLiteral("通知(&N)"));
        notify->menuAction()->setStatusTip(QStringLiteral("予定の通知を設定します。"));
        c.Fill(notify, {"ActionNotifyOn", "-", "ActionNotifyCaution", "ActionNotifyWarning"});
    }
    QMenu* view = bar.addMenu(QStringLiteral("表示(&V)"));
    QMenu* help = bar.addMenu(QStringLiteral("ヘルプ(&H)"));
    c.Fill(help, {"ActionHelp", "-", "ActionVerDlg"});
    c.Fill(view, {"ActionShowChart", "ActionChartNext", "ActionChartPrev", "ActionChartNext1", "ActionChartPrev1", "-",
                  "ActionFind", "ActionFindNext", "ActionFindPrev", "ActionFindClose", "-", "ActionShowTodaySchedule",
                  "ActionIntoTaskTray"});
    c.Fill(&tools, {"ActionFileNew",
                    "ActionFileOpen",
                    "ActionFileSave",
                    "ActionAutoSaveChk",
                    "-",
                    "ActionItemToDoNew",
                    "ActionItemFolderNew",
                    "-",
                    "ActionItemCopy",
                    "ActionItemPaste",
                    "-",
                    "ActionItemUp",
                    "ActionItemDown",
                    "-",
                    "ActionItemDelete",
                    "-",
                    "ActionDateBeginM",
                    "ActionDateBeginP",
                    "ActionDateM",
                    "ActionDateP",
                    "ActionDateEndM",
                    "ActionDateEndP",
                    "-",
                    "ActionItemProperty",
                    "-",
                    "ActionShowChart",
                    "ActionChartPrev",
                    "ActionChartPrev1",
                    "ActionChartNext1",
                    "ActionChartNext",
                    "-",
                    "ActionShowTodaySchedule",
                    "-",
                    "ActionIntoTaskTray"});
}

} // namespace quillo
