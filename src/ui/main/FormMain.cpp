// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's frame: construction, the status bar and the window events.
#include "main/FormMain.h"

#include "base/Clock.h"
#include "base/Cp932.h"
#include "base/Exceptions.h"
#include "controls/ExHeader.h"
#include "controls/StatusPanel.h"
#include "controls/TrayIcon.h"
#include "controls/TreeList.h"
#include "main/Images.h"
#include "model/StateEval.h"
#include "settings/Settings.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>
#include <QVBoxLayout>

namespace quillo {

namespace {
constexpr int kStatusPanel1Width = 130;
} // namespace

TFormMain::TFormMain(IDesktop& desktop, const TClock& clock, const std::string& settingsFile, QWidget* parent)
    : QMainWindow(parent), mDesktop(desktop), mClock(clock), mToday(clock.Today()),
      mSelectedDate(mToday), mCtx{mToday, &mCalendar, &mChart},
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
                  if (TTreeNode* root = mDocument.Root()) {
                      TreeList1->SetSelected(root);
                      TreeList1->scrollTo(TreeList1->Model().IndexOf(root));
                  }
              }}),
      RegManager1(&desktop) {
    setWindowTitle(QStringLiteral("Quillory Plan"));
    setMinimumSize(620, 320);
    resize(638, 398);
    AddMainSettingsItems(RegManager1.RegItems);
    RegManager1.IniFileName = settingsFile;
    mChart.SetChartDate(mToday + kDefaultChartOffset);

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
    BuildHeader();
    TreeList1->SetHeaderControl(ExHeader1);
    ExHeader1->OnSectionResize = [this](TExHeader*, TExSection*) { TreeList1->Redraw(); };
    // The expanded state of folders is stored in the file.
    auto expandedOrCollapsed = [this](TTreeList*, TTreeNode* node) {
        if (!mDocument.Loading) SetModified(true); // no step records it: undo never reaches the file again
        RefreshNode(mCtx, node, false);
    };
    TreeList1->OnExpanded = expandedOrCollapsed;
    TreeList1->OnCollapsed = expandedOrCollapsed;
    TreeList1->OnDepthLimit = [this](TTreeList*) {
        StatusPanel0->setText(QString::fromUtf8("階層が深すぎるため、%1階層より深いフォルダは閉じて表示しています。")
                                  .arg(TTreeList::kMaxShownDepth));
    };

    ToolBar1 = addToolBar(QStringLiteral("ToolBar1"));
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->setCursor(Qt::ArrowCursor);

    StatusPanel0 = new TStatusPanel(this);
    StatusPanel1 = new TStatusPanel(this);
    statusBar()->addWidget(StatusPanel0);
    statusBar()->addWidget(StatusPanel1);

    BuildCommands();
    BuildTray();
    BuildEditing();
    BuildChart();
    BuildMenus();
    Timer2.setInterval(60000);
    connect(&Timer2, &QTimer::timeout, this, &TFormMain::Timer2Timer);
    Timer2.start();
    if (auto* dispatcher = QAbstractEventDispatcher::instance())
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &TFormMain::UpdateActions);
    UpdateActions();
}

TFormMain::~TFormMain() {
    Timer2.stop();
    // The views go before the document they show.
    delete takeCentralWidget();
    TreeList1 = nullptr;
    ExHeader1 = nullptr;
}

QLabel* TFormMain::StatusPanel(int index) const {
    return index == 0 ? StatusPanel0 : StatusPanel1;
}

void TFormMain::SetSelectedDate(TDate date) {
    mSelectedDate = date;
    ExHeader1->viewport()->update();
    TreeList1->Redraw();
}

void TFormMain::ShowTitle() {
    const std::string& title = mDocument.Title;
    const QString caption = QString::fromStdString(title.empty() ? "Quillory Plan" : title);
    setWindowTitle(caption);
    if (TrayIcon1) TrayIcon1->SetTipHelp(caption);
    QApplication::setApplicationDisplayName(QString());
    QApplication::setApplicationName(caption);
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
        SetEscapeToTray(isActiveWindow() && !EditingLabel);
    }
    // Brought back by the taskbar rather than the tray icon (a desktop without a tray host).
    if (event->type() == QEvent::WindowStateChange && InTaskTray() && !isMinimized() && isVisible()) {
        TrayIcon1->HideOnTaskBar = false;
        TrayIcon1->SetVisible(false);
    }
}

bool TFormMain::FormCloseQuery() {
    try {
        RegManager1.ItemFiler("LastEdit").WriteString(mDocument.FileName);
    } catch (const EQuilloError&) {
        // Not storing the last file must not keep the program from closing.
    }
    return mFiles.CloseQuery();
}

void TFormMain::Timer2Timer() {
    mFiles.MinuteTick();
    UpdateActions();
}

} // namespace quillo
