// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The tree editing commands of the main window: new items, delete, the done mark, moves, date
// shifts, to-do to folder, the link, the property dialog, undo and redo. The rules are the
// editor's; this part asks, selects and shows.
#include "main/MainContext.h"

#include <string>

namespace quillo {

struct TMainSettings;

class TItemCommands {
public:
    // `places` keeps where the property dialog was last; `selectedDate` is a new to-do's day.
    TItemCommands(const TMainContext& context, TMainSettings& places, std::function<TDate()> selectedDate);

    // Also used by the tray, the day window and dropped files.
    TTreeNode* NewFolder(TTreeNode* at, const std::string& name, bool rename);
    TTreeNode* NewToDo(TTreeNode* at, const std::string& name, TDate date, bool dialog);
    void SetDone(TTreeNode* node, bool done);
    void OpenItemProperty(int focus); // 1 focuses the name, 2 the memo

    void ActionEditUndoExecute();
    void ActionEditRedoExecute();
    void ActionItemDeleteExecute();
    void ActionItemDeleteNoWarningExecute();
    void ActionItemChkReverseExecute();
    void MoveSelected(bool up); // ActionItemUp, ActionItemDown
    void ActionToDoToFolderExecute();
    void ActionOpenLinkExecute();
    void ShiftSelected(int beginDays, int endDays);

private:
    bool SelectedIsToDo() const;
    bool HasPrevSibling() const;
    bool HasNextSibling() const;
    bool HasBegin() const;
    bool HasEnd() const;
    bool HasLink() const;
    void UpdateLooks();
    void ShowUndone(TTreeNode* node);

    const TMainContext& mContext;
    TMainSettings& mPlaces;
    std::function<TDate()> mSelectedDate;
};

} // namespace quillo
