// SPDX-License-Identifier: GPL-3.0-or-later
// Commands on the items of the main window's tree: the selection and the property dialog.
#include "base/Desktop.h"
#include "base/FileNames.h"
#include "controls/TreeList.h"
#include "dialogs/AboutBox.h"
#include "dialogs/FormDaySchedule.h"
#include "dialogs/FormProperty.h"
#include "main/FormMain.h"
#include "model/SchItem.h"
#include "model/StateEval.h"
#include "settings/ConfigPaths.h"
#include "shell/ShellCommands.h"

#include <QAction>
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
    THeldNode node(mWatch, item->Node); // the dialog waits: the tree may change meanwhile
    TFormProperty dialog(mDesktop, mToday, this);
    dialog.LoadItem(*item);
    dialog.PropFocus = focus;
    dialog.PropX = mSettings.PropX;
    dialog.PropY = mSettings.PropY;
    const int result = dialog.exec();
    mSettings.PropX = dialog.PropX;
    mSettings.PropY = dialog.PropY;
    if (result != QDialog::Accepted || !node) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    mEditor.ChangeItem(node, [&](TSchItem& changed) { dialog.ApplyItem(changed); });
    QApplication::restoreOverrideCursor();
}

} // namespace quillo

namespace quillo {

void TFormMain::SelectNode(TTreeNode* node) {
    if (!node) return;
    TreeList1->SetSelected(node);
    TreeList1->scrollTo(TreeList1->Model().IndexOf(node));
    UpdateActions();
}

void TFormMain::Execute(const char* command) {
    UpdateActions();
    if (QAction* a = FindAction(command); a && a->isEnabled()) a->trigger();
}

void TFormMain::ShowDaySchedule(TDate date) {
    if (!ScheduleOpen()) return;
    TFormDaySchedule window(*this);
    mDayWindow = &window;
    window.Build(date);
    window.exec();
    // Opened from the tray, it leaves the main window hidden only while the program stays there.
    if (!InTaskTray() && !isVisible()) show();
    TreeList1->Redraw();
}

void TFormMain::StoreDayWindowPlace(const QRect& g) {
    mSettings.TodayX = g.x();
    mSettings.TodayY = g.y();
    mSettings.TodayW = g.width();
    mSettings.TodayH = g.height();
}

void TFormMain::ActionHelpExecute() {
    // Beside the program; else in the data folder of the prefix it was installed to (a package
    // may use another prefix than the build did); else where the build would install it.
    const std::string dir = AddPathDelimiter(ExtractFileDir(ProgramFilePath()));
    for (const std::string& candidate : {dir + "readme.htm", dir + "../share/quillo/readme.htm"})
        if (IsRegularFile(candidate)) return mDesktop.OpenDocument(candidate);
    mDesktop.OpenDocument(QUILLO_DATADIR "/readme.htm");
}

void TFormMain::ActionVerDlgExecute() {
    TAboutBox box(mDesktop, this);
    box.exec();
}

void TFormMain::ActionShowTodayScheduleExecute() {
    SetSelectedDate(mToday);
    ShowDaySchedule(mToday);
}

void TFormMain::ActionSetDesktopExecute() {
    SetDesktopShortcut(mDesktop, ProgramFilePath());
}

void TFormMain::ActionSetStartMenuExecute() {
    SetStartMenuShortcut(mDesktop, ProgramFilePath());
}

void TFormMain::ActionCutStartMenuExecute() {
    CutStartMenuShortcut(mDesktop);
}

void TFormMain::ActionSetStartUpExecute() {
    if (mDocument.FileName.empty()) return;
    SetStartUpShortcut(mDesktop, ProgramFilePath(), mDocument.FileName, mDocument.Title);
}

void TFormMain::ActionCutStartUpExecute() {
    CutStartUpShortcut(mDesktop);
}

void TFormMain::ActionSetRegExecute() {
    SetAssociation(mDesktop, ProgramFilePath());
}

void TFormMain::ActionCutRegExecute() {
    CutAssociation(mDesktop);
}

} // namespace quillo
