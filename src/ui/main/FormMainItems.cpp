// Commands on the items of the main window's tree: the selection and the property dialog.
#include "controls/TreeList.h"
#include "dialogs/FormProperty.h"
#include "main/FormMain.h"
#include "model/SchItem.h"
#include "model/StateEval.h"

#include <QApplication>

namespace quillo {

TTreeNode* TFormMain::SelectedNode() const {
    return ScheduleOpen() ? TreeList1->Selected() : nullptr;
}

TSchItem* TFormMain::SelectedItem() const {
    TTreeNode* node = SelectedNode();
    return node && node->Parent() ? node->Data() : nullptr;
}

void TFormMain::OpenItemProperty(int focus) {
    TSchItem* item = SelectedItem();
    if (!item) return;
    TFormProperty dialog(mDesktop, mToday, this);
    dialog.LoadItem(*item);
    dialog.PropFocus = focus;
    dialog.PropX = mSettings.PropX;
    dialog.PropY = mSettings.PropY;
    const int result = dialog.exec();
    mSettings.PropX = dialog.PropX;
    mSettings.PropY = dialog.PropY;
    if (result != QDialog::Accepted) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    dialog.ApplyItem(*item);
    RefreshChangedItem(mCtx, item->Node);
    SetModified(true);
    QApplication::restoreOverrideCursor();
}

} // namespace quillo
