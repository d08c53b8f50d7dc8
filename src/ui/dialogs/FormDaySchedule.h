// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The day schedule window: one day's to-dos by category, with the main window's commands on them.
#include "base/Date.h"
#include "model/NodeWatch.h"
#include "model/NodesIF.h"

#include <QDialog>

class QAction;
class QLabel;
class QToolBar;

namespace quillo {

class TExHeader;
class TFormMain;
class TTreeList;
class TSchItem;

extern const char* const kDayWindowTitle; // 一日の予定

class TFormDaySchedule : public QDialog {
    Q_OBJECT
public:
    explicit TFormDaySchedule(TFormMain& main);
    ~TFormDaySchedule() override;

    TDate ShownDate() const { return mShownDate; }
    void Build(TDate date); // the lists of `date`, from the main tree as it is now
    void Rebuild();         // the shown day again, after a change; marks it in the main chart

    TTreeList* TreeList() const { return TreeList1; }
    TExHeader* Header() const { return ExHeader1; }
    QLabel* StatusBar() const { return mStatus; }
    QAction* FindAction(const char* name) const;
    TSchItem* SelectedToDo() const; // the item of the selected row, when it is a to-do

    void ActionItemChkReverseExecute();
    void ActionNewToDoExecute();
    void ActionItemDeleteExecute();
    void ActionItemPropertyExecute();
    void ActionItemOpenLinkExecute();
    void ActionOutFromTaskTrayExecute();
    void Step(int days);

protected:
    void changeEvent(QEvent* event) override;

private:
    void BuildCommands();
    void UpdateActions();
    void RowMouseDown(Qt::MouseButton button, int x, int y);
    void RowMouseUp(int x, int y);
    bool SelectedInMain() const; // the row's to-do is the main window's selected item
    void ForgetRows();

    TFormMain& mMain;
    TNodesIF mNodes; // rows point at the main tree's items, never own them
    TNodeWatch mRowWatch{mNodes};
    TNodeWatch mMainWatch; // the rows go before main items do
    TExHeader* ExHeader1;
    TTreeList* TreeList1;
    QToolBar* ToolBar1;
    QLabel* mStatus;
    TDate mShownDate = 0;
    THeldNode mCheckClickNode{mRowWatch};
    QAction* ActionItemProperty;
    QAction* ActionItemChkReverse;
    QAction* ActionItemOpenLink;
    QAction* ActionItemDelete;
    QAction* ActionPrev7;
    QAction* ActionPrev;
    QAction* ActionNext;
    QAction* ActionNext7;
    QAction* ActionNewToDo;
    QAction* ActionFormClose;
    QAction* ActionOutFromTaskTray;
};

} // namespace quillo
