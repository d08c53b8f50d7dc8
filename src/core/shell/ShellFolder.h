// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The user's special folders on a freedesktop system.
#include <string>

namespace quillo {

enum TShellFolderKind {
    sfNone = 0,
    sfDesktop = 1,
    sfStartMenu = 2,
    sfStartup = 3,
    sfSendTo = 4,
    sfFavorites = 5,
    sfPrograms = 6
};

// The folder ending in "/", or empty when this desktop has no such folder or it cannot be found.
std::string GetShellFolder(int kind);

} // namespace quillo
