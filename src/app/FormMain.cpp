#include "app/FormMain.h"

#include "app/Desktop.h"
#include "app/Images.h"
#include "app/Settings.h"
#include "base/Clock.h"
#include "base/Exceptions.h"
#include "controls/ExHeader.h"
#include "controls/TreeList.h"
#include "views/StateEval.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>
#include <QVBoxLayout>

namespace quillo {

TFormMain::TFormMain(IDesktop& desktop, const TClock& clock, const std::string& settingsFile, QWidget* parent)
    : QMainWindow(parent), RegManager1(&desktop), mDesktop(desktop), mClock(clock) {
    setWindowTitle(QStringLiteral("Quillory Plan"));
    setMinimumSize(620, 320);
    resize(638, 398);
    AddMainSettingsItems(RegManager1.RegItems);
    RegManager1.IniFileName = settingsFile;
    Today = mClock.Today();
    SelectedDate = Today;
    Ctx = {Today, &Calendar};
    Calendar.ChartDate = Today - 7;
    Calendar.RebuildChartDayLevels();

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    ExHeader1 = new TExHeader(central);
    ExHeader1->setObjectName(QStringLiteral("ExHeader1"));
    TreeList1 = new TTreeList(central);
    TreeList1->setObjectName(QStringLiteral("TreeList1"));
    TreeList1->Items().SetOwnsData(true);
    TreeList1->SetImages(&NodeImages());
    layout->addWidget(ExHeader1);
    layout->addWidget(TreeList1, 1);
    setCentralWidget(central);
    BuildHeader();
    TreeList1->SetHeaderControl(ExHeader1);
    ExHeader1->OnSectionResize = [this](TExHeader*, TExSection*) { TreeList1->Redraw(); };
    ExHeader1->OnMouseUp = [this](TExHeader*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        TreeList1->Redraw();
    };
    // The expanded state of folders is stored in the file.
    auto expandedOrCollapsed = [this](TTreeList*, TTreeNode* node) {
        if (!Loading) SetModified(true);
        RefreshNode(Ctx, node, false);
    };
    TreeList1->OnExpanded = expandedOrCollapsed;
    TreeList1->OnCollapsed = expandedOrCollapsed;

    ToolBar1 = addToolBar(QStringLiteral("ToolBar1"));
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setIconSize(QSize(16, 16));

    StatusPanel0 = new QLabel(this);
    StatusPanel1 = new QLabel(this);
    statusBar()->addWidget(StatusPanel0);
    statusBar()->addWidget(StatusPanel1);

    BuildMenus();
    BuildChart();
    Timer2.setInterval(60000);
    connect(&Timer2, &QTimer::timeout, this, &TFormMain::Timer2Timer);
    Timer2.start();
    if (auto* dispatcher = QAbstractEventDispatcher::instance())
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &TFormMain::UpdateActions);
    UpdateActions();
}

TFormMain::~TFormMain() {
    Timer2.stop();
}

void TFormMain::SetHint(QAction* action, const std::string& hint) {
    const QString h = QString::fromStdString(hint);
    const int bar = h.indexOf('|');
    action->setToolTip(bar < 0 ? h : h.left(bar));
    action->setStatusTip(bar < 0 ? h : h.mid(bar + 1));
}

int TFormMain::ImageOf(const QAction* action) {
    return action->property("ImageIndex").toInt();
}

void TFormMain::SetImage(QAction* action, int image) {
    action->setProperty("ImageIndex", image);
    const auto& images = ToolbarImages();
    action->setIcon(image >= 0 && image < int(images.size()) ? images[size_t(image)] : QIcon());
}

QAction* TFormMain::MakeAction(const char* name, const char* caption, const char* hint, const QKeySequence& shortcut,
                               int image, void (TFormMain::*handler)()) {
    auto* a = new QAction(QString::fromUtf8(caption), this);
    a->setObjectName(QString::fromUtf8(name));
    SetHint(a, hint);
    a->setShortcut(shortcut);
    SetImage(a, image);
    if (handler)
        connect(a, &QAction::triggered, this, [this, handler] { Run([this, handler] { (this->*handler)(); }); });
    addAction(a);
    return a;
}

void TFormMain::BuildMenus() {
    ActionFileNew = MakeAction("ActionFileNew", "予定表の新規作成(&N)...",
                               "予定表の新規作成|予定表を新規作成します。編集中の予定表は閉じられます。", {}, 0,
                               &TFormMain::ActionFileNewExecute);
    ActionFileOpen = MakeAction("ActionFileOpen", "予定表を開く(&O)...",
                                "予定表を開く|予定表を開きます。編集中の予定表は閉じられます。", {}, 1,
                                &TFormMain::ActionFileOpenExecute);
    ActionFileExport = MakeAction("ActionFileExport", "エクスポート(&E)...", "", {}, -1, nullptr);
    ActionFileImport = MakeAction("ActionFileImport", "インポート(&I)...", "", {}, -1, nullptr);
    ActionFileSave = MakeAction("ActionFileSave", "上書き保存(&S)", "上書き保存|編集中の予定表を上書き保存します。",
                                QKeySequence(Qt::CTRL | Qt::Key_S), 2, &TFormMain::ActionFileSaveExecute);
    ActionFileSaveAs =
        MakeAction("ActionFileSaveAs", "別名で保存(&A)...", "別名で保存|編集中の予定表を別の名前で保存します。", {}, -1,
                   &TFormMain::ActionFileSaveAsExecute);
    ActionFileClose = MakeAction("ActionFileClose", "閉じる(&C)", "閉じる|編集中の予定表を閉じます。", {}, -1,
                                 &TFormMain::ActionFileCloseExecute);
    ActionFileExit = MakeAction("ActionFileExit", "終了(&X)", "終了|このプログラムを終了します。",
                                QKeySequence(Qt::CTRL | Qt::Key_Q), -1, nullptr);
    connect(ActionFileExit, &QAction::triggered, this, &QWidget::close);
    ActionAutoSaveChk = MakeAction("ActionAutoSaveChk", "", "", {}, 33, &TFormMain::ActionAutoSaveChkExecute);

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
    ToolBar1->addAction(ActionFileNew);
    ToolBar1->addAction(ActionFileOpen);
    ToolBar1->addAction(ActionFileSave);
    ToolBar1->addAction(ActionAutoSaveChk);
}

void TFormMain::UpdateActions() {
    const bool open = ScheduleOpen();
    ActionFileSave->setEnabled(open && Modified);
    SetImage(ActionFileSave, AutoSave ? 33 : 2);
    ActionFileSaveAs->setEnabled(open);
    ActionFileClose->setEnabled(open);
    ActionFileExport->setEnabled(false); // export and import come with the clipboard commands
    ActionFileImport->setEnabled(false);
    ActionAutoSaveChk->setEnabled(open);
    for (QAction* a : {ActionChartNext, ActionChartPrev, ActionChartNext1, ActionChartPrev1})
        a->setEnabled(ChartMode());
    if (AutoSave) {
        ActionAutoSaveChk->setText(QStringLiteral("自動保存を無効にする(&A)"));
        SetHint(ActionAutoSaveChk, "自動保存を無効にする|自動保存を無効にします。");
        SetImage(ActionAutoSaveChk, 2);
    } else {
        ActionAutoSaveChk->setText(QStringLiteral("自動保存を有効にする(&A)"));
        SetHint(ActionAutoSaveChk, "自動保存を有効にする|自動保存を有効にします。10分毎に予定表が上書き保存されます。"
                                   "予定表を閉じるときにも自動的に保存が行われます。");
        SetImage(ActionAutoSaveChk, 33);
    }
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

void TFormMain::BuildHeader() {
    struct TDesign {
        const char* Caption;
        TAlignment Alignment;
        int Width, Min, Max;
    };
    static const TDesign kSections[] = {{"項目名", taLeftJustify, 360, 200, 10000},
                                        {"開始予定", taCenter, 100, 100, 200},
                                        {"終了予定", taCenter, 100, 100, 200},
                                        {"情報", taRightJustify, 72, 72, 144}};
    ExHeader1->SetHeight(35);
    ExHeader1->Sections().BeginUpdate();
    for (const TDesign& d : kSections) {
        TExSection* s = ExHeader1->Sections().Add();
        s->Text = d.Caption;
        s->Alignment = d.Alignment;
        s->SetMaxWidth(d.Max);
        s->SetMinWidth(d.Min);
        s->SetWidth(d.Width);
        s->AllowClick = false; // the text columns are no buttons
    }
    ExHeader1->Sections().EndUpdate();
}

void TFormMain::FormResize() {
    StatusPanel0->setFixedWidth(std::max(0, statusBar()->width() - 150));
    StatusPanel1->setFixedWidth(130);
    TreeList1->Redraw();
}

void TFormMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TFormMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    TreeList1->setFocus();
    FormResize();
}

bool TFormMain::event(QEvent* event) {
    // Action hints go to panel 0, not over the whole status bar.
    if (event->type() == QEvent::StatusTip) {
        StatusPanel0->setText(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void TFormMain::closeEvent(QCloseEvent* event) {
    bool granted = false;
    Run([&] { granted = FormCloseQuery(); });
    if (granted)
        event->accept();
    else
        event->ignore();
}

} // namespace quillo
