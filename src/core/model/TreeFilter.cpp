// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/TreeFilter.h"

#include "model/SchItem.h"
#include "model/StateEval.h"

#include <functional>
#include <iterator>

namespace quillo {

namespace {

uint64_t DigestOf(const TSchItem& item) {
    const std::hash<std::string_view> hash;
    uint64_t d = hash(item.Name);
    d = d * 0x9E3779B97F4A7C15ull ^ hash(item.Memo);
    return d * 0x9E3779B97F4A7C15ull ^ hash(item.Link);
}

// One conversion and one normalisation for the three texts: NUL is a character of its own in
// cp932 and in Unicode, and no typed text holds one (TTextMatcher drops it).
std::string FormsOf(const TSchItem& item, bool sameKana) {
    std::string joined = item.Name;
    joined += '\0';
    joined += item.Memo.str();
    joined += '\0';
    joined += item.Link.str();
    return SearchFormOfCp932(joined, sameKana);
}

} // namespace

TTreeFilter::TTreeFilter(TNodesIF& nodes) : mNodes(nodes) {
    mNodes.SetHeldOpen(this);
}

TTreeFilter::~TTreeFilter() {
    if (mNodes.HeldOpen() == this) mNodes.SetHeldOpen(nullptr);
}

void TTreeFilter::SetQuery(const TFindQuery& asked) {
    TFindQuery query = asked;
    if (query.State != sfOnDay) query.Day = 0; // another day is no other query then
    if (query == mQuery) return;
    if (query.SameKana != mQuery.SameKana) mForms.clear(); // the forms depend on it
    if (query.Text != mQuery.Text || query.SameKana != mQuery.SameKana)
        mMatcher = TTextMatcher(query.Text, query.SameKana);
    mQuery = query;
    mKept.clear();
}

bool TTreeFilter::PassesState(const TSchItem& item, const TEvalContext& ctx) const {
    switch (mQuery.State) {
    case sfAll:
        return true;
    case sfNotDone:
        return !item.Checked;
    case sfInProgress:
        return item.State == ssInProgress;
    case sfAlert:
        return item.State == ssCaution || item.State == ssWarning;
    case sfOnDay:
        return !item.IsFolder() && item.IsOnDate(ctx, mQuery.Day);
    }
    return false;
}

bool TTreeFilter::Matches(const TTreeNode* node, const TEvalContext& ctx) const {
    const TSchItem* item = node ? node->Data() : nullptr;
    return item && PassesState(*item, ctx) && (mMatcher.Empty() || mMatcher.FoundIn(FormsOf(*item, mQuery.SameKana)));
}

TTreeFilter::TForms& TTreeFilter::Slot(const TSchItem& item) {
    if (mFormsAligned) {
        if (mFormCursor < mForms.size() && mForms[mFormCursor].Item == &item) return mForms[mFormCursor++];
        // The tree changed since the last walk: the rest is found by item.
        mFormsAligned = false;
        mNextForms.clear();
        mNextForms.reserve(mForms.size() + 64);
        std::move(mForms.begin(), mForms.begin() + static_cast<std::ptrdiff_t>(mFormCursor),
                  std::back_inserter(mNextForms));
        mFormIndex.clear();
        mFormIndex.reserve(mForms.size() - mFormCursor);
        for (size_t i = mFormCursor; i < mForms.size(); ++i)
            mFormIndex.emplace(mForms[i].Item, i);
    }
    if (auto it = mFormIndex.find(&item); it != mFormIndex.end()) {
        mNextForms.push_back(std::move(mForms[it->second]));
        mFormIndex.erase(it);
    } else {
        mNextForms.push_back({&item, 0, false, {}});
    }
    return mNextForms.back();
}

void TTreeFilter::EndFormsWalk() {
    if (mFormsAligned) {
        mForms.erase(mForms.begin() + static_cast<std::ptrdiff_t>(mFormCursor), mForms.end());
    } else {
        mForms.swap(mNextForms);
        std::vector<TForms>().swap(mNextForms);
        mFormIndex.clear();
    }
    mFormCursor = 0;
    mFormsAligned = true;
}

const std::string& TTreeFilter::Made(TForms& forms) const {
    const uint64_t digest = DigestOf(*forms.Item);
    if (!forms.Made || forms.Digest != digest) {
        forms.Form = FormsOf(*forms.Item, mQuery.SameKana);
        forms.Digest = digest;
        forms.Made = true;
    }
    return forms.Form;
}

void TTreeFilter::Prepare() {
    for (TTreeNode* n = mNodes.GetFirstNode(); n; n = n->GetNext())
        if (const TSchItem* item = n->Data()) Made(Slot(*item));
    EndFormsWalk();
}

TFilterResult TTreeFilter::Apply(const TEvalContext& ctx) {
    TFilterResult result;
    std::vector<TTreeNode*> heldLive; // folders the filter opened that are still in the tree
    std::vector<TTreeNode*> needOpen; // shown folders with a shown child
    if (Active()) {
        result.Everything = false;
        const bool text = !mMatcher.Empty();
        struct TStep {
            TTreeNode* Node;
            bool Shown, Open;
        };
        std::vector<TStep> path; // the node's ancestors, by level
        for (TTreeNode* n = mNodes.GetFirstNode(); n; n = n->GetNext()) {
            const size_t level = static_cast<size_t>(n->Level());
            path.resize(level);
            path.push_back({n, false, false});
            if (n->Expanded() && !mHeld.empty() && mHeld.count(n)) heldLive.push_back(n);
            bool match = false;
            if (const TSchItem* item = n->Data()) {
                // Every item takes its slot, so that the forms stay in walk order whatever the states.
                TForms* forms = text ? &Slot(*item) : nullptr;
                match = PassesState(*item, ctx) && (!forms || mMatcher.FoundIn(Made(*forms)));
            }
            if (!match && (mKept.empty() || !mKept.count(n))) continue;
            // Each node is shown once, so the climb over not yet shown ancestors is linear overall.
            size_t first = level;
            while (first > 0 && !path[first - 1].Shown)
                --first;
            for (size_t k = first; k <= level; ++k) {
                path[k].Shown = true;
                result.Rows.push_back({path[k].Node, k == level && match});
                if (k > 0 && !path[k - 1].Open) {
                    path[k - 1].Open = true;
                    needOpen.push_back(path[k - 1].Node);
                }
            }
        }
        if (text) EndFormsWalk();
    } else if (!mHeld.empty()) {
        for (TTreeNode* n = mNodes.GetFirstNode(); n; n = n->GetNext())
            if (n->Expanded() && mHeld.count(n)) heldLive.push_back(n);
    }

    std::unordered_set<const TTreeNode*> held;
    held.reserve(needOpen.size());
    for (TTreeNode* n : needOpen) {
        if (n->Expanded() && !mHeld.count(n)) continue; // the user's own open folder
        held.insert(n);
        if (!n->Expanded()) {
            n->Expand();
            result.Changed.push_back(n);
        }
    }
    for (TTreeNode* n : heldLive)
        if (!held.count(n)) {
            n->Collapse();
            result.Changed.push_back(n);
        }
    mHeld.swap(held);
    for (TTreeNode* n : result.Changed)
        RefreshRowTexts(ctx, n);
    return result;
}

std::vector<TTreeNode*> TTreeFilter::Clear(const TEvalContext& ctx) {
    TFindQuery none;
    none.SameKana = mQuery.SameKana;
    SetQuery(none);
    std::vector<TTreeNode*> changed = Apply(ctx).Changed;
    mKept.clear();
    std::vector<TForms>().swap(mForms);
    return changed;
}

void TTreeFilter::NodeDeleted(const TTreeNode* node) {
    mKept.erase(node);
    mHeld.erase(node);
}

void TTreeFilter::TreeCleared() {
    mKept.clear();
    mHeld.clear();
    mForms.clear();
}

} // namespace quillo
