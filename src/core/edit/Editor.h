// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The rules of the tree editing commands, on the open document: where new items go, what a
// drop does, date shifts, to-do to folder, deleting and moving, with one history step per
// command and the re-evaluation of what changed. The window only asks and shows.
#include "base/Date.h"
#include "model/EvalContext.h"
#include "model/History.h"

#include <functional>
#include <string>
#include <vector>

namespace quillo {

class TDocument;
class TSchItem;

// What a user edits on an item; a folder's dates and check are its children's.
struct TItemFields {
    std::string Name, Memo, Link, Repeat;
    bool Checked = false;
    TDate BeginDate = 0, EndDate = 0;
    int HolidayMode = 0;
    bool operator==(const TItemFields&) const = default;
};
TItemFields FieldsOf(const TSchItem& item);
void ApplyFields(TSchItem& item, const TItemFields& fields);

extern const char* const kNewFolderName; // 新しいフォルダ
extern const char* const kNewToDoName;   // 新しい予定

class TScheduleEditor {
public:
    TScheduleEditor(TDocument& document, const TEvalContext& ctx);

    bool CanUndo() const;
    bool CanRedo() const;
    // Each returns the node to select, or none when there was nothing to do.
    TTreeNode* Undo();
    TTreeNode* Redo();

    // A new folder by the placement rule: first child of the root without a node, after a
    // to-do, last child of a folder or the root.
    TTreeNode* NewFolder(TTreeNode* at, const std::string& name);
    // A new to-do by the same rule, opening a folder it goes into, its date brought into the item
    // range; no step yet: the caller
    // keeps it (one step) or drops it (as if it was never made), for the dialog that follows.
    TTreeNode* AddToDo(TTreeNode* at, const std::string& name, TDate date);
    void KeepNew(TTreeNode* node);
    void DropNew(TTreeNode* node);
    // A subtree already in the tree (pasted, imported, dropped) becomes one step.
    void RecordInserted(TTreeNode* node);
    void RecordInsertedGroup(const std::vector<TTreeNode*>& nodes); // siblings added together: one step
    // Every step recorded between these two becomes one (nested pairs count once).
    void BeginGroup();
    void EndGroup();

    // Tabs become spaces and a name too long for an item is cut; true when it was cut.
    bool Rename(TTreeNode* node, std::string text);
    // One step for whatever `change` does to the item's fields; a change to what they were still
    // marks the schedule modified (a name or a dialog confirmed unchanged). A to-do that it checks
    // and that repeats leaves its rule to a new unchecked occurrence right after it, in the same
    // step. When that occurrence's dates would leave the item range, nothing changes and
    // EQuilloError says why.
    void ChangeItem(TTreeNode* node, const std::function<void(TSchItem&)>& change);
    void SetDone(TTreeNode* node, bool done);
    void SetHolidayMode(TTreeNode* node, int mode);
    TTreeNode* Delete(TTreeNode* node); // returns the former parent
    bool MoveUp(TTreeNode* node);
    bool MoveDown(TTreeNode* node);
    // False, changing nothing, when a date would leave the item range (kItemDateRange says so).
    bool ShiftDates(TTreeNode* node, int beginDays, int endDays);
    TTreeNode* ToDoToFolder(TTreeNode* todo); // returns the new folder
    // A dragged node onto a target: before a to-do, first child of a folder or the root, never
    // into its own subtree. Returns whether it moved; a drop that did not still marks a change.
    bool Drop(TTreeNode* source, TTreeNode* target);

private:
    struct TPlace {
        TTreeNode* Parent;
        int Index;
    };
    TPlace PlaceFor(TTreeNode* at) const;
    void Push(std::unique_ptr<TEditStep> step);
    // Moves as one step; false when the tree refused the move.
    bool RecordedMove(TTreeNode* node, TTreeNode* parent, int index);
    // The occurrence after a repeating to-do that was just checked, or none.
    TTreeNode* AddNextOccurrence(TTreeNode* node, const TItemFields& before);

    TDocument& mDocument;
    TEditTarget mTarget;
    bool mExpandedForNew = false;
    int mGroupDepth = 0;
    std::vector<std::unique_ptr<TEditStep>> mGroup;
};

} // namespace quillo
