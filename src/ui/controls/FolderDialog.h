// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Picks a folder through the desktop seam's folder browser.
#include <string>

namespace quillo {

class IDesktop;

enum TRootFolder { rfDrives, rfDeskTop, rfNetWork };

class TFolderDialog {
public:
    explicit TFolderDialog(IDesktop& desktop) : mDesktop(desktop) {}

    TRootFolder RootFolder = rfDrives;
    std::string Title = "フォルダーを選択して下さい。";
    std::string Folder; // in: where the browser starts; out: the chosen folder

    // True when a folder was chosen; a cancel keeps Folder.
    bool Execute();
    std::string RootPath() const;

private:
    IDesktop& mDesktop;
};

} // namespace quillo
