#include "app/FormMain.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillory Plan"));
    quillo::TFormMain window;
    window.show();
    return app.exec();
}
