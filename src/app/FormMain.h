#pragma once
#include <QMainWindow>

class QAction;

namespace quillo {

// The main window. It grows with the document, chart and editing commands.
class TFormMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TFormMain(QWidget* parent = nullptr);

    QAction* ActionFileExit = nullptr;
};

} // namespace quillo
