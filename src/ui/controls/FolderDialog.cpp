// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/FolderDialog.h"

#include "base/Desktop.h"
#include "shell/ShellFolder.h"

namespace quillo {

std::string TFolderDialog::RootPath() const {
    // This desktop has one tree of folders: the drives and the network both start at its root.
    if (RootFolder == rfDeskTop) {
        const std::string desktop = GetShellFolder(sfDesktop);
        if (!desktop.empty()) return desktop;
    }
    return "/";
}

bool TFolderDialog::Execute() {
    const std::string chosen = mDesktop.FolderDialog(Title, RootPath(), Folder);
    if (chosen.empty()) return false;
    Folder = chosen;
    return true;
}

} // namespace quillo
