// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's frame: the views and parts it is built from, the order of start-up and
// shutdown, the window's own events, and the few commands that belong to no part.
#include "main/FormMain.h"

#include "base/Clock.h"
#include "base/Desktop.h"
#include "base/Exceptions.h"
#include "base/FileNames.h"
#include "controls/ExHeader.h"
#include "controls/StatusPanel.h"
#include "controls/TrayIcon.h"
#include "controls/TreeList.h"
#include "dialogs/FormDaySchedule.h"
#include "main/ChartView.h"
#include "main/FindBar.h"
#include "main/Images.h"
#include "main/ItemCommands.h"
#include "main/ItemTransfer.h"
#include "main/MainCommands.h"
#include "main/MainReminders.h"
#include "main/MainShell.h"
#include "main/MainTray.h"
#include "main/TreeGestures.h"
#include "main/WindowSettings.h"
#include "shell/CommandLine.h"
#include "shell/StartupShortcut.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>
#include <QVBoxLayout>

namespace quillo {

namespace {
constexpr int kStatusPanel1Width = 130;
} // namespace

TFormMain::TFormMain(IDesktop& desktop, const TClock& clock, const std::string& settingsFile, QWidget* parent)
    : QMainWindow(parent), mDesktop(desktop), mClock(clock), mToday(clock.Today()), mCtx{mToday, &mCalendar, &mChart},
      mFiles(mDocument, desktop, clock, mCtx,
             {[this] { ShowTitle(); },
              [this](const std::string& text) { StatusPanel1->setText(QString::fromStdString(text)); },
              [](bool busy) {
                  if (busy)
                      QApplication::setOverrideCursor(Qt::WaitCursor);
                  else
                      QApplication::restoreOverrideCursor();
              },
              // Only a tree replaced whole is shown anew; a save keeps the view and its selection.
              [this](bool rebuilding) {
                  if (rebuilding)
                      TreeList1->BeginUpdate();
                  else
                      TreeList1->EndUpdate();
              },
              [this] {
                  if (TTreeNode* root = mDocument.Root()) SelectNode(root);
              }}) {
    setWindowTitle(QStringLiteral("Quillory Plan"));
    setMinimumSize(620, 320);
    resize(638, 398);
    mChart.SetChartDate(mToday + kDefaultChartOffset);
    BuildViews();
    mCommands = new TMainCommands(*this, desktop);
    mCommands->Add(kMainCommands);
    mContext = std::make_unique<TMainContext>(
        TMainContext{desktop, clock, mToday, mCalendar, mChart, mCtx, mDocument, mEditor, mFiles, mWatch, *TreeList1,
                     *ExHeader1, *mCommands, [this](const QString& hint) { StatusPanel0->setText(hint); }});
    BuildParts(settingsFile);
    BuildFrameCommands();
    BuildMainMenus(*mCommands, *menuBar(), *ToolBar1);
    SetEditingShortcuts();
    Timer2.setInterval(60000);
    connect(&Timer2, &QTimer::timeout, this, &TFormMain::Timer2Timer);
    Timer2.start();
    if (auto* dispatcher = QAbstractEventDispatcher::instance())
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &TFormMain::UpdateActions);
    UpdateActions();
}

TFormMain::~TFormMain() {
    Timer2.stop();
    // The parts let go of the views, and the views go before the document they show.
    mReminders.reset();
    mFind.reset();
    mTray.reset();
    mShell.reset();
    mTransfer.reset();
    mGestures.reset();
    mItems.reset();
    mChartView.reset();
    mSettings.reset();
    delete takeCentralWidget();
    TreeList1 = nullptr;
    ExHeader1 = nullptr;
}

// The header above the tree list, the tool bar, the two panels of the status bar.
void TFormMain::BuildViews() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    ExHeader1 = new TExHeader(central);
    ExHeader1->setObjectName(QStringLiteral("ExHeader1"));
    TreeList1 = new TTreeList(mDocument.Nodes(), central);
    TreeList1->setObjectName(QStringLiteral("TreeList1"));
    TreeList1->SetImages(&NodeImages());
    layout->addWidget(ExHeader1);
    layout->addWidget(TreeList1, 1);
    setCentralWidget(central);
    ToolBar1 = addToolBar(QStringLiteral("ToolBar1"));
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->setCursor(Qt::ArrowCursor);
    StatusPanel0 = new TStatusPanel(this);
    StatusPanel1 = new TStatusPanel(this);
    statusBar()->addWidget(StatusPanel0);
    statusBar()->addWidget(StatusPanel1);
}

void TFormMain::BuildParts(const std::string& settingsFile) {
    const TMainContext& context = *mContext;
    mSettings = std::make_unique<TWindowSettings>(context, *this, settingsFile);
    mChartView = std::make_unique<TChartView>(context, [this](TDate date) { ShowDaySchedule(date); });
    TreeList1->SetHeaderControl(ExHeader1);
    mItems = std::make_unique<TItemCommands>(context, mSettings->Places(), [this] { return SelectedDate(); });
    mGestures = std::make_unique<TTreeGestures>(
        context,
        TTreeGestures::THooks{[this](int focus) { OpenItemProperty(focus); },
                              [this](bool given) { given ? SetEditingShortcuts() : ClearEditingShortcuts(); }});
    // A press is the gestures' (select, drag, marks), then the chart's (the day under it).
    TreeList1->OnMouseDown = [this](TTreeList*, Qt::MouseButton b, Qt::KeyboardModifiers, int x, int y) {
        mGestures->TreeList1MouseDown(b, x, y);
        mChartView->TreeList1MouseDown(x, y);
    };
    mTransfer = std::make_unique<TItemTransfer>(context);
    mShell = std::make_unique<TMainShell>(context);
    mTray = std::make_unique<TMainTray>(context, *this,
                                        TMainTray::THooks{[this] { NewToDo(nullptr, kNewToDoName, mToday, true); },
                                                          [this] { ShowDaySchedule(mToday); },
                                                          [this] { return mDayWindow.data(); }});
    mReminders = std::make_unique<TMainReminders>(
        context, settingsFile,
        TMainReminders::THooks{[this](TDate date) { ShowDaySchedule(date); }, [this] { return mDayWindow.data(); },
                               [this] { mTray->TrayIconClick(); },
                               [this](const QString& title, const QString& text, bool critical) {
                                   return mTray->TrayIcon()->ShowBalloon(title, text, critical);
                               }});
    mFind = std::make_unique<TFindBar>(
        context, TFindBar::THooks{[this] { return SelectedDate(); },
                                  [this](bool given) { given ? SetEditingShortcuts() : ClearEditingShortcuts(); },
                                  [this] { UpdateEscape(); }});
    static_cast<QBoxLayout*>(centralWidget()->layout())->insertWidget(0, mFind->Bar()); // under the tool bar
}

// The file commands and today's schedule: each a line on what already exists.
void TFormMain::BuildFrameCommands() {
    TMainCommands& c = *mCommands;
    auto open = [this] { return mDocument.IsOpen(); };
    c.Bind("ActionFileNew", [this] { mFiles.FileNew(); });
    c.Bind("ActionFileOpen", [this] { mFiles.FileOpen(); });
    c.Bind(
        "ActionFileSave", [this] { mFiles.FileSave(); }, [this] { return mDocument.IsOpen() && mDocument.Modified(); });
    c.Bind(
        "ActionFileSaveAs", [this] { mFiles.FileSaveAs(); }, open);
    c.Bind(
        "ActionFileClose", [this] { mFiles.FileClose(); }, open);
    c.Bind("ActionFileExit", [this] { close(); });
    c.Bind(
        "ActionAutoSaveChk", [this] { mFiles.AutoSaveToggle(); }, open);
    c.Bind(
        "ActionShowTodaySchedule",
        [this] {
            SetSelectedDate(mToday);
            ShowDaySchedule(mToday);
        },
        open);
    c.AddLook([this] {
        const bool on = mDocument.AutoSave;
        SetLook(mCommands->Find("ActionFileSave"), "上書き保存(&S)", "上書き保存|編集中の予定表を上書き保存します。",
                on ? tiAutoSave : tiFileSave);
        QAction* toggle = mCommands->Find("ActionAutoSaveChk");
        if (on)
            SetLook(toggle, "自動保存を無効にする(&A)", "自動保存を無効にする|自動保存を無効にします。", tiFileSave);
        else
            SetLook(toggle, "自動保存を有効にする(&A)",
                    "自動保存を有効にする|自動保存を有効にします。10分毎に予定表が上書き保存されます。"
                    "予定表を閉じるときにも自動的に保存が行われます。",
                    tiAutoSave);
    });
}

void TFormMain::FormCreate(const std::vector<std::string>& args) {
    MigrateStartupShortcut();
    // The day's first notice comes once the start-up is over, whatever it opened.
    struct TAnnounce {
        TMainReminders& Reminders;
        ~TAnnounce() { Reminders.StartUp(); }
    } announce{*mReminders};
    bool settingsRead = false;
    Run([&] {
        mSettings->LoadSettings();
        mReminders->LoadSettings();
        settingsRead = true;
    });
    if (!settingsRead) return; // the error was shown; the window stays usable without a schedule
    mChartView->SetChartDate(mChart.ChartDate());
    mChartView->ChartChanged();

    const TCommandLine line = ParseCommandLine(args);
    if (line.File) {
        if (IsRegularFile(*line.File)) {
            bool opened = false;
            Run([&] {
                const std::string longPath = ExpandLongPath(*line.File);
                mFiles.OpenNamed(longPath.empty() ? *line.File : longPath);
                opened = true;
            });
            if (!opened) return;
        } else {
            mDocument.FileName.clear();
            mFiles.SetTitle("");
        }
    }
    if (line.TraySwitch) {
        setWindowState(windowState() | Qt::WindowMinimized);
        mTray->ActionIntoTaskTrayExecute();
    }
    if (!line.HasArguments) {
        const std::string last = mSettings->LastEdit();
        bool opened = false;
        if (!last.empty() && IsRegularFile(last)) {
            try {
                mFiles.OpenNamed(last);
                opened = true;
            } catch (const EQuilloError&) {
                // Not reported: the new schedule below takes its place.
            }
        }
        if (!opened) Run([&] { mFiles.FileNew(); });
    }
    UpdateActions();
}

bool TFormMain::FormCloseQuery() {
    mSettings->StoreLastEdit(mDocument.FileName);
    return mFiles.CloseQuery();
}

void TFormMain::FormClose() {
    MigrateStartupShortcut();
    try {
        mSettings->SaveSettings();
        mReminders->SaveSettings();
    } catch (const EQuilloError& e) {
        // Shown, and the program still ends.
        mDesktop.Sound(sndError);
        mDesktop.MessageBox(e.what(), mtError, mbOK);
    }
}

void TFormMain::closeEvent(QCloseEvent* event) {
    bool granted = false;
    Run([&] { granted = FormCloseQuery(); });
    if (!granted) return event->ignore();
    FormClose();
    event->accept();
    emit Closed();
}

void TFormMain::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // An inactive window hides its selection, so it does not look like the window in use.
    if (event->type() == QEvent::ActivationChange) {
        TreeList1->HideSelection = !isActiveWindow();
        TreeList1->Redraw();
        UpdateEscape();
    }
    if (event->type() == QEvent::WindowStateChange) mTray->WindowStateChanged();
}

void TFormMain::FormResize() {
    StatusPanel0->setFixedWidth(std::max(0, statusBar()->width() - kStatusPanel1Width - 20));
    StatusPanel1->setFixedWidth(kStatusPanel1Width);
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

void TFormMain::ShowTitle() {
    const std::string& title = mDocument.Title;
    const QString caption = QString::fromStdString(title.empty() ? "Quillory Plan" : title);
    setWindowTitle(caption);
    if (mTray) mTray->SetTipHelp(caption);
    QApplication::setApplicationDisplayName(QString());
    QApplication::setApplicationName(caption);
}

void TFormMain::Timer2Timer() {
    mReminders->Tick(); // a date change, also one slept through
    mFiles.MinuteTick();
    UpdateActions();
}

void TFormMain::ShowAtStart() {
    mTray->ShowAtStart();
}

void TFormMain::ShowDaySchedule(TDate date) {
    if (!mDocument.IsOpen()) return;
    TFormDaySchedule window(*this);
    mDayWindow = &window;
    window.Build(date);
    window.exec();
    // Opened from the tray, it leaves the main window hidden only while the program stays there.
    if (!InTaskTray() && !isVisible()) show();
    TreeList1->Redraw();
}

// Esc goes to the tray only while the window is active, no name is being typed and no search is
// open (Esc ends those first).
void TFormMain::UpdateEscape() {
    mTray->SetEscapeToTray(isActiveWindow() && !mGestures->EditingLabel() && !mFind->IsOpen());
}

void TFormMain::SetEditingShortcuts() {
    mCommands->SetEditingKeys(true);
    UpdateEscape();
}

void TFormMain::ClearEditingShortcuts() {
    mCommands->SetEditingKeys(false);
    mTray->SetEscapeToTray(false); // Esc ends the rename or the search instead
}

// Forwards for the day window and for tests.
QLabel* TFormMain::StatusPanel(int index) const {
    return index == 0 ? StatusPanel0 : StatusPanel1;
}
QAction* TFormMain::FindAction(const char* name) const {
    return mCommands->Find(name);
}
void TFormMain::Execute(const char* command) {
    mCommands->Execute(command);
}
void TFormMain::Run(const std::function<void()>& command) {
    mCommands->Run(command);
}
void TFormMain::UpdateActions() {
    mCommands->Update();
}
TDate TFormMain::SelectedDate() const {
    return mChartView->SelectedDate();
}
void TFormMain::SetSelectedDate(TDate date) {
    mChartView->SetSelectedDate(date);
}
void TFormMain::SelectNode(TTreeNode* node) {
    if (!node) return;
    mContext->Reveal(node);
    UpdateActions();
}
TTreeNode* TFormMain::NewToDo(TTreeNode* at, const std::string& name, TDate date, bool dialog) {
    return mItems->NewToDo(at, name, date, dialog);
}
void TFormMain::OpenItemProperty(int focus) {
    mItems->OpenItemProperty(focus);
}
void TFormMain::AddDroppedFiles(const std::vector<std::string>& paths, TDate date) {
    mTransfer->AddDroppedFiles(paths, date);
}
const TMainSettings& TFormMain::Settings() const {
    return mSettings->Places();
}
void TFormMain::StoreDayWindowPlace(const QRect& g) {
    TMainSettings& places = mSettings->Places();
    places.TodayX = g.x();
    places.TodayY = g.y();
    places.TodayW = g.width();
    places.TodayH = g.height();
}
bool TFormMain::InTaskTray() const {
    return mTray->InTaskTray();
}
void TFormMain::OutFromTaskTray() {
    mTray->OutFromTaskTray();
}

} // namespace quillo
