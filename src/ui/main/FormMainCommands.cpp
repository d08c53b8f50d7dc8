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

void SetLook(QAction* a, const char* caption, const char* hint, int image) {
    SetText(a, QString::fromUtf8(caption));
    SetHint(a, hint);
    SetImage(a, image);
}
} // namespace

const TFormMain::TCommand TFormMain::kCommands[] = {
    {&TFormMain::ActionFileNew,
     "ActionFileNew",
     "予定表の新規作成(&N)...",
     "予定表の新規作成|予定表を新規作成します。編集中の予定表は閉じられます。",
     {},
     tiFileNew,
     &TFormMain::ActionFileNewExecute,
     nullptr},
    {&TFormMain::ActionFileOpen,
     "ActionFileOpen",
     "予定表を開く(&O)...",
     "予定表を開く|予定表を開きます。編集中の予定表は閉じられます。",
     {},
     tiFileOpen,
     &TFormMain::ActionFileOpenExecute,
     nullptr},
    // Export and import come with the clipboard commands.
    {&TFormMain::ActionFileExport, "ActionFileExport", "エクスポート(&E)...", "", {}, tiNoImage, nullptr, nullptr},
    {&TFormMain::ActionFileImport, "ActionFileImport", "インポート(&I)...", "", {}, tiNoImage, nullptr, nullptr},
    {&TFormMain::ActionFileSave, "ActionFileSave", "上書き保存(&S)", "上書き保存|編集中の予定表を上書き保存します。",
     Qt::CTRL | Qt::Key_S, tiFileSave, &TFormMain::ActionFileSaveExecute, &TFormMain::CanSave},
    {&TFormMain::ActionFileSaveAs,
     "ActionFileSaveAs",
     "別名で保存(&A)...",
     "別名で保存|編集中の予定表を別の名前で保存します。",
     {},
     tiNoImage,
     &TFormMain::ActionFileSaveAsExecute,
     &TFormMain::HasSchedule},
    {&TFormMain::ActionFileClose,
     "ActionFileClose",
     "閉じる(&C)",
     "閉じる|編集中の予定表を閉じます。",
     {},
     tiNoImage,
     &TFormMain::ActionFileCloseExecute,
     &TFormMain::HasSchedule},
    {&TFormMain::ActionFileExit, "ActionFileExit", "終了(&X)", "終了|このプログラムを終了します。",
     Qt::CTRL | Qt::Key_Q, tiNoImage, &TFormMain::ActionFileExitExecute, nullptr},
    // Caption, hint and picture of the two switches follow their state in UpdateActions.
    {&TFormMain::ActionAutoSaveChk,
     "ActionAutoSaveChk",
     "",
     "",
     {},
     tiAutoSave,
     &TFormMain::ActionAutoSaveChkExecute,
     &TFormMain::HasSchedule},
    {&TFormMain::ActionShowChart, "ActionShowChart", "", "", Qt::Key_Tab, tiListView,
     &TFormMain::ActionShowChartExecute, nullptr},
    {&TFormMain::ActionChartNext, "ActionChartNext", "チャート表示を一週間進める(&N)",
     "一週間進める|チャート表示を一週間進めます。", Qt::SHIFT | Qt::ALT | Qt::Key_Right, tiNoImage,
     &TFormMain::ActionChartNextExecute, &TFormMain::ChartMode},
    {&TFormMain::ActionChartPrev, "ActionChartPrev", "チャート表示を一週間戻す(&P)",
     "一週間戻す|チャート表示を一週間戻します。", Qt::SHIFT | Qt::ALT | Qt::Key_Left, tiNoImage,
     &TFormMain::ActionChartPrevExecute, &TFormMain::ChartMode},
    {&TFormMain::ActionChartNext1, "ActionChartNext1", "チャート表示を一日進める(&O)",
     "一日進める|チャート表示を一日進めます。", Qt::ALT | Qt::Key_Right, tiNoImage, &TFormMain::ActionChartNext1Execute,
     &TFormMain::ChartMode},
    {&TFormMain::ActionItemProperty, "ActionItemProperty", "項目のプロパティ(&I)...",
     "項目のプロパティ|選択されている項目の項目名、開始予定日、終了予定日、メモ、関連リンクなどを編集します。",
     Qt::CTRL | Qt::Key_I, tiItemProperty, &TFormMain::ActionItemPropertyExecute, &TFormMain::HasSelectedItem},
    {&TFormMain::ActionChartPrev1, "ActionChartPrev1", "チャート表示を一日戻す(&M)",
     "一日戻す|チャート表示を一日戻します。", Qt::ALT | Qt::Key_Left, tiNoImage, &TFormMain::ActionChartPrev1Execute,
     &TFormMain::ChartMode},
};

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
    QMenu* file = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    file->addAction(ActionFileNew);
    file->addAction(ActionFileOpen);
    file->addSeparator();
    file->addAction(ActionFileExport);
    file->addAction(ActionFileImport);
    file->addSeparator();
    file->addAction(ActionFileSave);
    file->addAction(ActionFileSaveAs);
    file->addAction(ActionFileClose);
    file->addSeparator();
    file->addAction(ActionFileExit);

    QMenu* items = menuBar()->addMenu(QStringLiteral("予定(&T)"));
    items->addAction(ActionItemProperty);

    QMenu* view = menuBar()->addMenu(QStringLiteral("表示(&V)"));
    view->addAction(ActionShowChart);
    for (QAction* a : {ActionChartNext, ActionChartPrev, ActionChartNext1, ActionChartPrev1})
        view->addAction(a);

    ToolBar1->addAction(ActionFileNew);
    ToolBar1->addAction(ActionFileOpen);
    ToolBar1->addAction(ActionFileSave);
    ToolBar1->addAction(ActionAutoSaveChk);
    ToolBar1->addSeparator();
    ToolBar1->addAction(ActionItemProperty);
    ToolBar1->addSeparator();
    ToolBar1->addAction(ActionShowChart);
}

int TFormMain::ImageOf(const QAction* action) {
    return action->property("ImageIndex").toInt();
}

bool TFormMain::HasSelectedItem() const {
    return SelectedItem() != nullptr;
}

bool TFormMain::CanSave() const {
    return ScheduleOpen() && mDocument.Modified;
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
