#include "app/FormMain.h"

#include <QStatusBar>

namespace quillo {

TFormMain::TFormMain(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("Quillory Plan"));
    setMinimumSize(620, 320);
    resize(638, 398);
    statusBar();
}

} // namespace quillo
