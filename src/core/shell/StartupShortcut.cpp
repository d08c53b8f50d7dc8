// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/StartupShortcut.h"

#include "base/FileNames.h"
#include "shell/MakeShortCut.h"
#include "shell/ShellFolder.h"

#include <cstdio>

namespace quillo {

const char* const kStartupShortcutName = "QuilloryPlan.lnk";
const char* const kOldStartupShortcutName = "Quillo.lnk";

void MigrateStartupShortcut() {
    const std::string folder = GetShellFolder(sfStartup);
    if (folder.empty()) return;
    auto entry = [&](const char* name) {
        TMakeShortCut s;
        s.SCFileName = folder + name;
        return s.GetFullPath();
    };
    const std::string oldPath = entry(kOldStartupShortcutName), newPath = entry(kStartupShortcutName);
    if (!IsRegularFile(oldPath)) return;
    if (IsRegularFile(newPath))
        std::remove(oldPath.c_str());
    else
        std::rename(oldPath.c_str(), newPath.c_str());
}

} // namespace quillo
