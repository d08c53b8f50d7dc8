// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/MainShell.h"

#include "base/Desktop.h"
#include "base/FileNames.h"
#include "controls/TreeList.h"
#include "dialogs/AboutBox.h"
#include "main/MainCommands.h"
#include "model/Document.h"
#include "settings/ConfigPaths.h"
#include "shell/ShellCommands.h"

namespace quillo {

TMainShell::TMainShell(const TMainContext& context) : mContext(context) {
    TMainCommands& c = context.Commands;
    IDesktop& desktop = context.Desktop;
    const TDocument& document = context.Document;
    c.Bind("ActionSetDesktop", [&desktop] { SetDesktopShortcut(desktop, ProgramFilePath()); });
    c.Bind("ActionSetStartMenu", [&desktop] { SetStartMenuShortcut(desktop, ProgramFilePath()); });
    c.Bind("ActionCutStartMenu", [&desktop] { CutStartMenuShortcut(desktop); });
    c.Bind(
        "ActionSetStartUp",
        [&desktop, &document] {
            if (!document.FileName.empty())
                SetStartUpShortcut(desktop, ProgramFilePath(), document.FileName, document.Title);
        },
        [&document] { return !document.FileName.empty(); });
    c.Bind("ActionCutStartUp", [&desktop] { CutStartUpShortcut(desktop); });
    c.Bind("ActionSetReg", [&desktop] { SetAssociation(desktop, ProgramFilePath()); });
    c.Bind("ActionCutReg", [&desktop] { CutAssociation(desktop); });
    c.Bind("ActionHelp", [this] { ActionHelpExecute(); });
    c.Bind("ActionVerDlg", [this] {
        TAboutBox box(mContext.Desktop, mContext.Tree.window());
        box.exec();
    });
}

void TMainShell::ActionHelpExecute() {
    // Beside the program; else in the data folder of the prefix it was installed to (a package
    // may use another prefix than the build did); else where the build would install it.
    const std::string dir = AddPathDelimiter(ExtractFileDir(ProgramFilePath()));
    for (const std::string& candidate : {dir + "readme.htm", dir + "../share/quillo/readme.htm"})
        if (IsRegularFile(candidate)) return mContext.Desktop.OpenDocument(candidate);
    mContext.Desktop.OpenDocument(QUILLO_DATADIR "/readme.htm");
}

} // namespace quillo
