#pragma once
#include <QMainWindow>

class QAction;
class QLabel;
class QToolBar;

namespace quillo {

class TExHeader;
class TTreeList;

// The main window: header above the tree list, a tool bar and a two-panel status bar.
class TFormMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TFormMain(QWidget* parent = nullptr);

    TExHeader* ExHeader1 = nullptr;
    TTreeList* TreeList1 = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QLabel* StatusPanel0 = nullptr; // hints
    QLabel* StatusPanel1 = nullptr; // document status
    QAction* ActionFileExit = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void BuildHeader();
    void FormResize();
};

} // namespace quillo
