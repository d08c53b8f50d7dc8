// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Items to and from other schedules: copy and paste on the clipboard, export and import in the
// schedule format, iCalendar export, and files dropped from the file manager.
#include "main/MainContext.h"

#include <string>
#include <vector>

namespace quillo {

class TDropDst;

class TItemTransfer {
public:
    explicit TItemTransfer(const TMainContext& context);

    void ActionItemCopyExecute();
    void ActionItemPasteExecute();
    void ActionFileExportExecute();
    void ActionFileImportExecute();
    void ActionFileExportICalExecute();
    // Adds a file's items below the selection; returns the node that received them, or none after
    // a bad line.
    TTreeNode* ImportFile(const std::string& path);
    // Files dropped from the file manager on the tree (with today) or the day window (its day).
    void AddDroppedFiles(const std::vector<std::string>& paths, TDate date);

private:
    const TMainContext& mContext;
    TDropDst* DropDst1;
};

} // namespace quillo
