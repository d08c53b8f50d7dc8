// SPDX-License-Identifier: GPL-3.0-or-later
#include "edit/EditSteps.h"

#include "base/StrUtil.h"
#include "model/NodesIF.h"
#include "model/SchItem.h"
#include "model/ScheduleFormat.h"
#include "model/StateEval.h"

namespace quillo {

std::string SubtreeLines(const TTreeNode* node) {
    std::string lines = "{\r\n";
    WriteItemLines(node, lines);
    lines += "}\r\n";
    return lines;
}

void Reevaluate(TEditTarget& target, TTreeNode* node) {
    if (node && node->Parent()) RefreshChangedItem(target.Ctx, node);
}

bool MoveToIndex(TNodesIF& nodes, TTreeNode* node, TTreeNode* parent, int index) {
    // The child that is to follow the node, not counting the node itself.
    TTreeNode* follower = nullptr;
    int row = 0;
    for (TTreeNode* child : parent->Children()) {
        if (child == node) continue;
        if (row++ == index) {
            follower = child;
            break;
        }
    }
    return follower ? nodes.MoveTo(node, follower, naInsert) : nodes.MoveTo(node, parent, naAddChild);
}

TTreeNode* InsertLines(TEditTarget& target, TTreeNode* parent, int index, const std::string& lines) {
    const int before = parent->Count();
    ReadItemLines(target.Nodes, parent, lines, nullptr);
    if (parent->Count() == before) return nullptr;
    TTreeNode* node = parent->Item(before);
    OpenFoldersAsStored(node);
    MoveToIndex(target.Nodes, node, parent, index);
    RefreshSubtree(target.Ctx, node);
    Reevaluate(target, node);
    return node;
}

TTreeNode* RemoveSubtree(TEditTarget& target, TTreeNode* node) {
    TTreeNode* parent = node->Parent();
    target.Nodes.Delete(node);
    Reevaluate(target, parent);
    return parent;
}

namespace {

class TInsertStep : public TEditStep {
public:
    TInsertStep(TTreeNode* node, bool expandedParent)
        : mParent(PathOf(node->Parent())), mIndex(node->Index()), mExpandedParent(expandedParent) {}
    TTreeNode* Undo(TEditTarget& t) override {
        TTreeNode* node = NodeAt(t.Nodes, mParent)->Item(mIndex);
        mLines = SubtreeLines(node);
        // Closed first: the re-evaluation after the removal writes the row texts of a closed folder.
        if (mExpandedParent) node->Parent()->Collapse();
        return RemoveSubtree(t, node);
    }
    TTreeNode* Redo(TEditTarget& t) override {
        TTreeNode* parent = NodeAt(t.Nodes, mParent);
        if (mExpandedParent) parent->Expand();
        TTreeNode* node = InsertLines(t, parent, mIndex, mLines);
        mLines.clear(); // the tree holds it again
        return node;
    }

private:
    TNodePath mParent;
    int mIndex;
    bool mExpandedParent;
    std::string mLines;
};

class TRemoveStep : public TEditStep {
public:
    explicit TRemoveStep(TTreeNode* node)
        : mParent(PathOf(node->Parent())), mIndex(node->Index()), mLines(SubtreeLines(node)) {}
    TTreeNode* Undo(TEditTarget& t) override {
        TTreeNode* node = InsertLines(t, NodeAt(t.Nodes, mParent), mIndex, mLines);
        mLines.clear();
        return node;
    }
    TTreeNode* Redo(TEditTarget& t) override {
        TTreeNode* node = NodeAt(t.Nodes, mParent)->Item(mIndex);
        mLines = SubtreeLines(node);
        return RemoveSubtree(t, node);
    }

private:
    TNodePath mParent;
    int mIndex;
    std::string mLines;
};

// A node's ancestors keep their paths when the node itself moves, so each end of the move is
// found from the state it belongs to.
class TMoveStep : public TEditStep {
public:
    TMoveStep(TNodePath fromParent, int fromIndex, TTreeNode* moved)
        : mFromParent(std::move(fromParent)), mFromIndex(fromIndex), mToParent(PathOf(moved->Parent())),
          mToIndex(moved->Index()) {}
    TTreeNode* Undo(TEditTarget& t) override { return Move(t, mToParent, mToIndex, mFromParent, mFromIndex); }
    TTreeNode* Redo(TEditTarget& t) override { return Move(t, mFromParent, mFromIndex, mToParent, mToIndex); }

private:
    static TTreeNode* Move(TEditTarget& t, const TNodePath& fromParent, int fromIndex, const TNodePath& toParent,
                           int toIndex) {
        TTreeNode* oldParent = NodeAt(t.Nodes, fromParent);
        TTreeNode* node = oldParent->Item(fromIndex);
        TTreeNode* newParent = NodeAt(t.Nodes, toParent, node); // recorded without the node in its old place
        MoveToIndex(t.Nodes, node, newParent, toIndex);
        Reevaluate(t, oldParent);
        Reevaluate(t, node);
        return node;
    }
    TNodePath mFromParent;
    int mFromIndex;
    TNodePath mToParent;
    int mToIndex;
};

class TFieldsStep : public TEditStep {
public:
    TFieldsStep(TTreeNode* node, TItemFields before, TItemFields after)
        : mPath(PathOf(node)), mBefore(std::move(before)), mAfter(std::move(after)) {}
    TTreeNode* Undo(TEditTarget& t) override { return Apply(t, mBefore); }
    TTreeNode* Redo(TEditTarget& t) override { return Apply(t, mAfter); }

private:
    TTreeNode* Apply(TEditTarget& t, const TItemFields& fields) {
        TTreeNode* node = NodeAt(t.Nodes, mPath);
        ApplyFields(*node->Data(), fields);
        Reevaluate(t, node);
        return node;
    }
    TNodePath mPath;
    TItemFields mBefore, mAfter;
};

// A shift can clamp one date to the other, so undo restores the dates it saw instead of
// shifting back.
class TShiftStep : public TEditStep {
public:
    TShiftStep(TTreeNode* node, int beginDays, int endDays)
        : mPath(PathOf(node)), mBeginDays(beginDays), mEndDays(endDays) {
        int offset = 0;
        const TTreeNode* stop = node->GetNextSkipChildren();
        for (TTreeNode* n = node; n && n != stop; n = n->GetNext(), ++offset)
            if (const TSchItem* item = n->Data(); item && !item->IsFolder() && (item->BeginDate || item->EndDate))
                mSaved.push_back({offset, item->BeginDate, item->EndDate});
    }
    TTreeNode* Undo(TEditTarget& t) override {
        TTreeNode* node = NodeAt(t.Nodes, mPath);
        const TTreeNode* stop = node->GetNextSkipChildren();
        auto saved = mSaved.begin();
        int offset = 0;
        for (TTreeNode* n = node; n && n != stop && saved != mSaved.end(); n = n->GetNext(), ++offset)
            if (offset == saved->Offset) {
                n->Data()->BeginDate = saved->Begin;
                n->Data()->EndDate = saved->End;
                ++saved;
            }
        return Refresh(t, node);
    }
    TTreeNode* Redo(TEditTarget& t) override {
        TTreeNode* node = NodeAt(t.Nodes, mPath);
        node->Data()->ShiftDates(mBeginDays, mEndDays);
        return Refresh(t, node);
    }

private:
    static TTreeNode* Refresh(TEditTarget& t, TTreeNode* node) {
        RefreshSubtree(t.Ctx, node);
        Reevaluate(t, node);
        return node;
    }
    struct TSaved {
        int Offset;
        TDate Begin, End;
    };
    TNodePath mPath;
    int mBeginDays, mEndDays;
    std::vector<TSaved> mSaved;
};

class TGroupStep : public TEditStep {
public:
    explicit TGroupStep(std::vector<std::unique_ptr<TEditStep>> steps) : mSteps(std::move(steps)) {}
    TTreeNode* Undo(TEditTarget& t) override {
        TTreeNode* node = nullptr;
        for (auto it = mSteps.rbegin(); it != mSteps.rend(); ++it)
            node = (*it)->Undo(t);
        return node;
    }
    TTreeNode* Redo(TEditTarget& t) override {
        TTreeNode* first = nullptr;
        for (auto& step : mSteps) {
            TTreeNode* node = step->Redo(t);
            if (!first) first = node;
        }
        return first;
    }

private:
    std::vector<std::unique_ptr<TEditStep>> mSteps;
};

} // namespace

std::unique_ptr<TEditStep> MakeInsertStep(TTreeNode* node, bool expandedParent) {
    return std::make_unique<TInsertStep>(node, expandedParent);
}
std::unique_ptr<TEditStep> MakeRemoveStep(TTreeNode* node) {
    return std::make_unique<TRemoveStep>(node);
}
std::unique_ptr<TEditStep> MakeMoveStep(const TNodePath& fromParent, int fromIndex, TTreeNode* moved) {
    return std::make_unique<TMoveStep>(fromParent, fromIndex, moved);
}
std::unique_ptr<TEditStep> MakeFieldsStep(TTreeNode* node, TItemFields before, TItemFields after) {
    return std::make_unique<TFieldsStep>(node, std::move(before), std::move(after));
}
std::unique_ptr<TEditStep> MakeShiftStep(TTreeNode* node, int beginDays, int endDays) {
    return std::make_unique<TShiftStep>(node, beginDays, endDays);
}
std::unique_ptr<TEditStep> MakeGroupStep(std::vector<std::unique_ptr<TEditStep>> steps) {
    return std::make_unique<TGroupStep>(std::move(steps));
}

} // namespace quillo
