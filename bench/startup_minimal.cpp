// SPDX-License-Identifier: GPL-3.0-or-later
// The floor for the start-up benchmark: the least a Qt Widgets program with a tree can do, a
// main window with an empty tree view, ending after its first paint as quillo does when told.
#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QTimer>
#include <QTreeView>
#include <cstdlib>

namespace {
class TExitAfterPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) QTimer::singleShot(0, [] { std::_Exit(0); });
        return QObject::eventFilter(watched, event);
    }
};
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setCentralWidget(new QTreeView(&window));
    window.resize(638, 398);
    TExitAfterPaint exitAfterPaint;
    window.installEventFilter(&exitAfterPaint);
    window.show();
    return app.exec();
}
