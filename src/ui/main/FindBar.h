// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Find and filter over the main tree: the bar under the tool bar (the text, the kana check, the
// state), the rows it leaves shown, the marks on what it found, moving from find to find, and the
// tree given back as the user left it. A filter is the view's alone: nothing of it reaches the
// document, its history or the file.
#include "main/MainContext.h"
#include "model/NodesIF.h"
#include "model/TreeFilter.h"

#include <QPointer>
#include <memory>
#include <unordered_set>
#include <utility>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QToolButton;
class QWidget;

namespace quillo {

// What the state box offers, in the order of TStateFilter.
extern const char* const kFindStates[5];

class TFindBar final : private INodesObserver {
public:
    struct THooks {
        std::function<TDate()> SelectedDate;         // the chart's selected day
        std::function<void(bool given)> EditingKeys; // false while the bar has the keyboard
        std::function<void()> OpenChanged;           // Esc belongs to the bar while it is open
    };
    TFindBar(const TMainContext& context, THooks hooks);
    ~TFindBar() override;
    TFindBar(const TFindBar&) = delete;
    TFindBar& operator=(const TFindBar&) = delete;

    QWidget* Bar() const { return mBar; } // the frame places it; hidden while closed
    QLineEdit* TextBox() const { return mText; }
    QCheckBox* KanaCheck() const { return mKana; }
    QComboBox* StateBox() const { return mState; }
    QLabel* CountLabel() const { return mCount; }
    bool IsOpen() const { return mOpen; }
    bool HasKeyboard() const { return mKeysLent; }
    const TTreeFilter& Filter() const { return mFilter; }

    void Open();  // shows the bar, or gives its text the keyboard again
    void Close(); // every row back, with the open folders the user had
    void FindNext(bool forward);
    // The idle update: a changed tree or chart day shown through the filter.
    void Follow();
    // Where the text is found in the node's name, as positions of its QString.
    std::vector<std::pair<int, int>> Marks(const TTreeNode* node) const;

private:
    class TKeys;
    TFindQuery QueryOfBar() const;
    void QueryChanged();
    void ShowFiltered(bool newQuery);
    TTreeNode* MatchFrom(TTreeNode* node, bool forward) const;
    void UpdateCount();
    void FocusChanged(QWidget* now);
    void GiveIcons();

    void BeginInsertNode(TTreeNode*, int) override {}
    void EndInsertNode(TTreeNode* node) override;
    void BeginRemoveNode(TTreeNode*) override {}
    void EndRemoveNode(TTreeNode*, int) override { mTreeChanged = true; }
    void BeginMoveNode(TTreeNode*, TTreeNode*, int) override {}
    void EndMoveNode(TTreeNode*) override { mTreeChanged = true; }
    void NodeChanged(TTreeNode* node, unsigned what) override;
    void BeginClear() override {}
    void EndClear() override;
    void NodeDeleted(TTreeNode* node) override;

    const TMainContext& mContext;
    THooks mHooks;
    TTreeFilter mFilter;
    QPointer<QWidget> mBar;
    QLineEdit* mText;
    QCheckBox* mKana;
    QComboBox* mState;
    QLabel* mCount;
    QToolButton* mClose;
    std::unique_ptr<TKeys> mKeys;
    bool mOpen = false;
    bool mKeysLent = false;
    bool mApplying = false;                     // the notices of the filter's own opening and closing
    bool mTreeChanged = false;                  // since the filter was last applied
    std::vector<TShownRow> mRows;               // as last applied; emptied when a node goes
    std::unordered_set<const TTreeNode*> mKept; // made or changed since, to stay shown
};

} // namespace quillo
