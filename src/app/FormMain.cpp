#include "app/FormMain.h"

#include <QAction>
#include <QMenuBar>
#include <QStatusBar>

namespace quillo {

TFormMain::TFormMain(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("Quillory Plan"));
    setMinimumSize(620, 320);
    resize(638, 398);
    statusBar();

    ActionFileExit = new QAction(QStringLiteral("終了(&X)"), this);
    ActionFileExit->setObjectName(QStringLiteral("ActionFileExit"));
    ActionFileExit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    ActionFileExit->setToolTip(QStringLiteral("終了"));
    ActionFileExit->setStatusTip(QStringLiteral("このプログラムを終了します。"));
    connect(ActionFileExit, &QAction::triggered, this, &QWidget::close);
    QMenu* file = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    file->addAction(ActionFileExit);
}

} // namespace quillo
