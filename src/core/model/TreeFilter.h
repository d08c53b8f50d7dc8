// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Find and filter over the tree: which rows a query shows, and the folders it opens to show them.
//
// A node matches when it carries an item, the item's name, memo or link contains the text (both in
// search form, see base/TextMatcher.h; an empty text is in every item) and the item passes the
// state filter:
//   sfAll        every item;
//   sfNotDone    items whose done mark is off: an unchecked to-do, a folder with an unchecked
//                to-do somewhere below (an empty folder counts as done, as in its state);
//   sfInProgress state InProgress ("進行") exactly, folders by the state they take from below;
//   sfAlert      states Caution and Warning ("注意", "警告"), folders likewise;
//   sfOnDay      to-dos that the day schedule of `Day` lists (IsOnDate, whatever their state); a
//                folder never matches by its own dates here, it shows as the ancestor of such a to-do.
// States are read as the last evaluation left them. The rows shown are the matching nodes, the
// nodes kept visible for the query, and every ancestor of these, in tree order; the root carries
// no item and shows only as an ancestor. A filter is a view's state: it changes no item, writes no
// history step, and the marks it opens are never stored (TNodesIF::StoredExpanded).
#include "base/Date.h"
#include "base/TextMatcher.h"
#include "model/EvalContext.h"
#include "model/NodesIF.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace quillo {

enum TStateFilter { sfAll, sfNotDone, sfInProgress, sfAlert, sfOnDay };

struct TFindQuery {
    std::string Text;      // UTF-8, as typed
    bool SameKana = false; // ひらがなとカタカナを区別しない
    TStateFilter State = sfAll;
    TDate Day = 0; // sfOnDay: the chart's selected day
    bool operator==(const TFindQuery&) const = default;
};

struct TShownRow {
    TTreeNode* Node;
    bool Match; // false for an ancestor shown only for what lies below, or a node kept visible
};

struct TFilterResult {
    bool Everything = true;      // no filter: every row shows and `Rows` is empty
    std::vector<TShownRow> Rows; // otherwise the rows shown, in tree order
    // Nodes whose expanded mark the call changed (their rows were refreshed).
    std::vector<TTreeNode*> Changed;
};

// One per tree; the window drives it:
//   SetQuery as the user types or picks a state, then Apply and show `Rows`;
//   after a command, KeepVisible what it made or renamed, then Apply again;
//   UserMarked when the user opens or closes a folder himself (the mark is his from then on);
//   NodeDeleted for every node the tree deletes (the observer's notice), TreeCleared on a clear;
//   Clear when the find bar closes: the folders the filter opened close again.
class TTreeFilter : public IHeldOpen {
public:
    explicit TTreeFilter(TNodesIF& nodes);
    ~TTreeFilter() override;
    TTreeFilter(const TTreeFilter&) = delete;
    TTreeFilter& operator=(const TTreeFilter&) = delete;

    // A query that differs from the last one forgets the nodes kept visible for it.
    void SetQuery(const TFindQuery& query);
    const TFindQuery& Query() const { return mQuery; }
    bool Active() const { return !mMatcher.Empty() || mQuery.State != sfAll; }
    const TTextMatcher& Matcher() const { return mMatcher; }

    // One walk over the tree (no recursion, linear in its size): the rows to show. Opens every
    // shown folder that has a shown child, remembering that it was closed; a folder opened for an
    // earlier query that is no longer needed gets the user's mark back. Without an active query
    // every row shows and every folder the filter opened gets its mark back.
    TFilterResult Apply(const TEvalContext& ctx);
    // Makes every item's search form, for the kana choice of the query set, before the first
    // character is typed (when the find bar opens), so that no keystroke pays for them all.
    void Prepare();
    // The find bar closed: the query is reset, the marks go back as Apply does, the texts' search
    // forms are dropped. Returns the nodes whose mark changed.
    std::vector<TTreeNode*> Clear(const TEvalContext& ctx);

    bool Matches(const TTreeNode* node, const TEvalContext& ctx) const; // e.g. for the next match
    // Stays shown until the query changes (a renamed item that no longer matches, a new to-do).
    void KeepVisible(const TTreeNode* node) { mKept.insert(node); }
    void UserMarked(const TTreeNode* node) { mHeld.erase(node); }
    void NodeDeleted(const TTreeNode* node);
    void TreeCleared();

    bool HoldsOpen(const TTreeNode* node) const override { return mHeld.count(node) != 0; }
    size_t HeldCount() const { return mHeld.size(); }

private:
    // An item's name, memo and link in search form, joined by NUL, with a digest of the texts
    // they were made from: an item whose text changed is folded again.
    struct TForms {
        const TSchItem* Item;
        uint64_t Digest;
        bool Made;
        std::string Form;
    };
    bool PassesState(const TSchItem& item, const TEvalContext& ctx) const;
    TForms& Slot(const TSchItem& item); // the item's forms, taken in walk order
    void EndFormsWalk();
    const std::string& Made(TForms& forms) const; // remade when the item's texts changed

    TNodesIF& mNodes;
    TFindQuery mQuery;
    TTextMatcher mMatcher;
    std::unordered_set<const TTreeNode*> mKept;
    std::unordered_set<const TTreeNode*> mHeld; // folders the filter opened
    // Forms in the order the last walk asked for them; a walk over an unchanged tree reads them
    // in sequence, one that meets a change finds the rest through `mFormIndex`.
    std::vector<TForms> mForms;
    std::vector<TForms> mNextForms;
    std::unordered_map<const TSchItem*, size_t> mFormIndex;
    size_t mFormCursor = 0;
    bool mFormsAligned = true;
};

} // namespace quillo
