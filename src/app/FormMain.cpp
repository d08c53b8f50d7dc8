#include "app/FormMain.h"

#include "controls/ExHeader.h"
#include "controls/TreeList.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

namespace quillo {

TFormMain::TFormMain(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("Quillory Plan"));
    setMinimumSize(620, 320);
    resize(638, 398);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    ExHeader1 = new TExHeader(central);
    ExHeader1->setObjectName(QStringLiteral("ExHeader1"));
    TreeList1 = new TTreeList(central);
    TreeList1->setObjectName(QStringLiteral("TreeList1"));
    layout->addWidget(ExHeader1);
    layout->addWidget(TreeList1, 1);
    setCentralWidget(central);
    BuildHeader();
    TreeList1->SetHeaderControl(ExHeader1);
    ExHeader1->OnSectionTrack = [this](TExHeader*, TExSection* s, int w, TSectionTrackState st) {
        TreeList1->DrawTrackLine(s, w, st);
    };
    ExHeader1->OnSectionResize = [this](TExHeader*, TExSection*) { TreeList1->Redraw(); };
    ExHeader1->OnMouseUp = [this](TExHeader*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { TreeList1->Redraw(); };

    ToolBar1 = addToolBar(QStringLiteral("ToolBar1"));
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setIconSize(QSize(16, 16));

    StatusPanel0 = new QLabel(this);
    StatusPanel1 = new QLabel(this);
    statusBar()->addWidget(StatusPanel0);
    statusBar()->addWidget(StatusPanel1);
    statusBar()->setSizeGripEnabled(true);

    ActionFileExit = new QAction(QStringLiteral("終了(&X)"), this);
    ActionFileExit->setObjectName(QStringLiteral("ActionFileExit"));
    ActionFileExit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    ActionFileExit->setToolTip(QStringLiteral("終了"));
    ActionFileExit->setStatusTip(QStringLiteral("このプログラムを終了します。"));
    connect(ActionFileExit, &QAction::triggered, this, &QWidget::close);
    QMenu* file = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    file->addAction(ActionFileExit);
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
    StatusPanel1->setFixedWidth(150 - 20);
    TreeList1->Redraw();
}

void TFormMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TFormMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    FormResize();
}

} // namespace quillo
