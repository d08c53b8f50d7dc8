// SPDX-License-Identifier: GPL-3.0-or-later
#include "edit/Editor.h"

#include "base/Cp932.h"
#include "base/Exceptions.h"
#include "base/StrUtil.h"
#include "edit/EditSteps.h"
#include "model/Calendar.h"
#include "model/Document.h"
#include "model/NodesIF.h"
#include "model/Repeat.h"
#include "model/SchItem.h"
#include "model/StateEval.h"

namespace quillo {

const char* const kNewFolderName = "\x90\x56\x82\xB5\x82\xA2\x83\x74\x83\x48\x83\x8B\x83\x5F"; // 新しいフォルダ
const char* const kNewToDoName = "\x90\x56\x82\xB5\x82\xA2\x97\x5C\x92\xE8";                   // 新しい予定

TItemFields FieldsOf(const TSchItem& item) {
    return {item.Name, item.Memo, item.Link, item.Repeat, item.Checked, item.BeginDate, item.EndDate, item.HolidayMode};
}

void ApplyFields(TSchItem& item, const TItemFields& f) {
    item.SetName(f.Name);
    item.Memo = f.Memo;
    item.Link = f.Link;
    item.Repeat = f.Repeat;
    if (item.IsFolder()) return; // its dates and check are its children's
    item.Checked = f.Checked;
    item.BeginDate = f.BeginDate;
    item.EndDate = f.EndDate;
    item.HolidayMode = f.HolidayMode;
}

TScheduleEditor::TScheduleEditor(TDocument& document, const TEvalContext& ctx)
    : mDocument(document), mTarget{document.Nodes(), ctx} {}

bool TScheduleEditor::CanUndo() const {
    return mDocument.History.CanUndo();
}
bool TScheduleEditor::CanRedo() const {
    return mDocument.History.CanRedo();
}
TTreeNode* TScheduleEditor::Undo() {
    return mDocument.History.Undo(mTarget);
}
TTreeNode* TScheduleEditor::Redo() {
    return mDocument.History.Redo(mTarget);
}

void TScheduleEditor::Push(std::unique_ptr<TEditStep> step) {
    if (mGroupDepth > 0)
        mGroup.push_back(std::move(step));
    else
        mDocument.History.Push(std::move(step));
}

void TScheduleEditor::BeginGroup() {
    ++mGroupDepth;
}

void TScheduleEditor::EndGroup() {
    if (--mGroupDepth > 0 || mGroup.empty()) return;
    auto steps = std::move(mGroup);
    mGroup.clear();
    mDocument.History.Push(steps.size() == 1 ? std::move(steps.front()) : MakeGroupStep(std::move(steps)));
}

TScheduleEditor::TPlace TScheduleEditor::PlaceFor(TTreeNode* at) const {
    TTreeNode* root = mDocument.Root();
    if (!at) return {root, 0};
    if (const TSchItem* item = at->Data(); item && !item->IsFolder()) return {at->Parent(), at->Index() + 1};
    return {at, at->Count()};
}

TTreeNode* TScheduleEditor::NewFolder(TTreeNode* at, const std::string& name) {
    if (!mDocument.IsOpen()) return nullptr;
    const TPlace place = PlaceFor(at);
    TTreeNode* node = mDocument.Nodes().AddChild(place.Parent, name);
    BindItem(node, TSchFolder::Create(name, node));
    MoveToIndex(mDocument.Nodes(), node, place.Parent, place.Index);
    Reevaluate(mTarget, node);
    Push(MakeInsertStep(node, false));
    return node;
}

TTreeNode* TScheduleEditor::AddToDo(TTreeNode* at, const std::string& name, TDate date) {
    if (!mDocument.IsOpen()) return nullptr;
    const TPlace place = PlaceFor(at);
    // A folder only a search holds open is closed for the user: it opens as his, and the notices
    // of closing and opening tell the search that the mark is no longer its own.
    mExpandedForNew = place.Parent->Parent() && !mDocument.Nodes().StoredExpanded(place.Parent);
    if (mExpandedForNew) {
        place.Parent->Collapse();
        place.Parent->Expand();
    }
    TTreeNode* node = mDocument.Nodes().AddChild(place.Parent, name);
    if (date != 0) date = ClampItemDate(date);
    BindItem(node, TSchToDo::Create(name, node, false, date, date));
    MoveToIndex(mDocument.Nodes(), node, place.Parent, place.Index);
    Reevaluate(mTarget, node);
    return node;
}

void TScheduleEditor::KeepNew(TTreeNode* node) {
    Reevaluate(mTarget, node);
    Push(MakeInsertStep(node, mExpandedForNew));
}

void TScheduleEditor::DropNew(TTreeNode* node) {
    if (mExpandedForNew) node->Parent()->Collapse(); // before the re-evaluation, as in an undo
    RemoveSubtree(mTarget, node);
}

void TScheduleEditor::RecordInserted(TTreeNode* node) {
    RefreshSubtree(mTarget.Ctx, node);
    Reevaluate(mTarget, node);
    Push(MakeInsertStep(node, false));
}

void TScheduleEditor::RecordInsertedGroup(const std::vector<TTreeNode*>& nodes) {
    if (nodes.empty()) return;
    std::vector<std::unique_ptr<TEditStep>> steps;
    for (TTreeNode* node : nodes) {
        RefreshSubtree(mTarget.Ctx, node);
        Reevaluate(mTarget, node);
        steps.push_back(MakeInsertStep(node, false));
    }
    Push(MakeGroupStep(std::move(steps)));
}

bool TScheduleEditor::Rename(TTreeNode* node, std::string text) {
    text = ReplaceAll(text, "\t", " ");
    const bool cut = text.size() > kMaxNameBytes;
    if (cut) text = CutToNameLength(text);
    ChangeItem(node, [&](TSchItem& item) { item.SetName(text); });
    return cut;
}

void TScheduleEditor::ChangeItem(TTreeNode* node, const std::function<void(TSchItem&)>& change) {
    TSchItem* item = node ? node->Data() : nullptr;
    if (!item) return;
    TItemFields before = FieldsOf(*item);
    change(*item);
    TTreeNode* next = AddNextOccurrence(node, before);
    TItemFields after = FieldsOf(*item);
    Reevaluate(mTarget, node);
    if (after == before) {
        mDocument.ChangedOutsideHistory(); // confirmed as it was: still a change to the user
        return;
    }
    auto step = MakeFieldsStep(node, std::move(before), std::move(after));
    if (!next) return Push(std::move(step));
    std::vector<std::unique_ptr<TEditStep>> steps;
    steps.push_back(std::move(step));
    steps.push_back(MakeInsertStep(next, false));
    Push(MakeGroupStep(std::move(steps)));
}

TTreeNode* TScheduleEditor::AddNextOccurrence(TTreeNode* node, const TItemFields& before) {
    TSchItem* item = node->Data();
    if (item->IsFolder() || before.Checked || !item->Checked) return nullptr;
    const auto rule = ParseRepeatRule(item->Repeat);
    if (!rule) return nullptr; // a rule the program does not know stays with the item, unused
    static const TCalendar kDefaultCalendar;
    const TCalendar& calendar = mTarget.Ctx.Calendar ? *mTarget.Ctx.Calendar : kDefaultCalendar;
    const auto dates =
        NextOccurrence(*rule, item->BeginDate, item->EndDate, item->HolidayMode, calendar, mTarget.Ctx.Today);
    if (!dates) {
        ApplyFields(*item, before);
        Reevaluate(mTarget, node);
        throw EQuilloError("「" + Cp932ToUtf8(item->Name) +
                           "」を完了にできません。繰り返しの次の予定の日付が範囲を超えます。\r\n" + kItemDateRange);
    }
    // The checked one stays as history; the rule goes on with the next.
    TTreeNode* parent = node->Parent();
    TTreeNode* next = mDocument.Nodes().AddChild(parent, item->Name);
    auto todo = TSchToDo::Create(item->Name, next, false, dates->Begin, dates->End, item->HolidayMode, item->Memo);
    todo->Link = item->Link;
    todo->Repeat = std::move(item->Repeat);
    item->Repeat.clear();
    BindItem(next, std::move(todo));
    MoveToIndex(mDocument.Nodes(), next, parent, node->Index() + 1);
    Reevaluate(mTarget, next);
    return next;
}

void TScheduleEditor::SetDone(TTreeNode* node, bool done) {
    TSchItem* item = node ? node->Data() : nullptr;
    if (!item || item->IsFolder()) return;
    ChangeItem(node, [done](TSchItem& i) { i.SetChecked(done); });
}

void TScheduleEditor::SetHolidayMode(TTreeNode* node, int mode) {
    TSchItem* item = node ? node->Data() : nullptr;
    if (!item || item->IsFolder()) return;
    ChangeItem(node, [mode](TSchItem& i) { i.SetHolidayMode(mode); });
}

TTreeNode* TScheduleEditor::Delete(TTreeNode* node) {
    if (!node || !node->Parent()) return nullptr;
    auto step = MakeRemoveStep(node);
    TTreeNode* parent = RemoveSubtree(mTarget, node);
    Push(std::move(step));
    return parent;
}

bool TScheduleEditor::RecordedMove(TTreeNode* node, TTreeNode* parent, int index) {
    const TNodePath fromParent = PathOf(node->Parent());
    const int fromIndex = node->Index();
    TTreeNode* oldParent = node->Parent();
    if (!MoveToIndex(mDocument.Nodes(), node, parent, index)) return false;
    if (node->Parent() == oldParent && node->Index() == fromIndex) return false; // stayed put
    Reevaluate(mTarget, oldParent);
    Reevaluate(mTarget, node);
    Push(MakeMoveStep(fromParent, fromIndex, node));
    return true;
}

bool TScheduleEditor::MoveUp(TTreeNode* node) {
    if (!node || !node->Parent() || !node->GetPrevSibling()) return false;
    return RecordedMove(node, node->Parent(), node->Index() - 1);
}

bool TScheduleEditor::MoveDown(TTreeNode* node) {
    if (!node || !node->Parent() || !node->GetNextSibling()) return false;
    // The next sibling moves before the node, as the command is written.
    return RecordedMove(node->GetNextSibling(), node->Parent(), node->Index());
}

namespace {
// A shift only brings one date to the other, so the shifted dates alone decide.
bool ShiftStaysInRange(const TTreeNode* node, int beginDays, int endDays) {
    const TTreeNode* stop = node->GetNextSkipChildren();
    for (const TTreeNode* n = node; n && n != stop; n = n->GetNext()) {
        const TSchItem* item = n->Data();
        if (!item || item->IsFolder()) continue;
        if ((item->BeginDate > 0 && !IsItemDate(item->BeginDate + beginDays)) ||
            (item->EndDate > 0 && !IsItemDate(item->EndDate + endDays)))
            return false;
    }
    return true;
}
} // namespace

bool TScheduleEditor::ShiftDates(TTreeNode* node, int beginDays, int endDays) {
    TSchItem* item = node ? node->Data() : nullptr;
    if (!item) return true;
    if (!ShiftStaysInRange(node, beginDays, endDays)) return false;
    auto step = MakeShiftStep(node, beginDays, endDays);
    item->ShiftDates(beginDays, endDays);
    RefreshSubtree(mTarget.Ctx, node);
    Reevaluate(mTarget, node);
    Push(std::move(step));
    return true;
}

TTreeNode* TScheduleEditor::ToDoToFolder(TTreeNode* todo) {
    TSchItem* item = todo ? todo->Data() : nullptr;
    if (!item || item->IsFolder()) return nullptr;
    const TPlace place = PlaceFor(todo);
    TTreeNode* folder = mDocument.Nodes().AddChild(place.Parent, item->Name);
    TSchItem* f = BindItem(folder, TSchFolder::Create(item->Name, folder));
    f->SetExtraText(item->GetExtraText());
    f->Repeat.clear(); // the to-do inside keeps it
    MoveToIndex(mDocument.Nodes(), folder, place.Parent, place.Index);
    std::vector<std::unique_ptr<TEditStep>> steps;
    steps.push_back(MakeInsertStep(folder, false));
    const TNodePath fromParent = PathOf(todo->Parent());
    const int fromIndex = todo->Index();
    mDocument.Nodes().MoveTo(todo, folder, naAddChildFirst);
    steps.push_back(MakeMoveStep(fromParent, fromIndex, todo));
    Push(MakeGroupStep(std::move(steps)));
    RefreshAll(mTarget.Ctx, mDocument.Nodes());
    return folder;
}

bool TScheduleEditor::Drop(TTreeNode* source, TTreeNode* target) {
    if (!source || !target || !source->Parent()) return false;
    bool moved = false;
    if (target != source && !target->HasAsParent(source)) { // never into its own subtree
        const TSchItem* t = target->Data();
        if (t && !t->IsFolder()) {
            // Before the to-do: its row once the source has left.
            const int index = source->Parent() == target->Parent() && source->Index() < target->Index()
                                  ? target->Index() - 1
                                  : target->Index();
            moved = RecordedMove(source, target->Parent(), index);
        } else {
            moved = RecordedMove(source, target, 0);
        }
    }
    // A drop that moves nothing still counts as a change, as the command always has.
    if (!moved) mDocument.ChangedOutsideHistory();
    return moved;
}

} // namespace quillo
