#pragma once
#include <QMainWindow>

namespace quillo {

// The main window. It grows with the document, chart and editing commands.
class TFormMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TFormMain(QWidget* parent = nullptr);
};

} // namespace quillo
