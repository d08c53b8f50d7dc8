// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/FindBar.h"

#include "base/Cp932.h"
#include "base/Desktop.h"
#include "controls/TreeList.h"
#include "main/MainCommands.h"
#include "model/Document.h"
#include "model/SchItem.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>

namespace quillo {

const char* const kFindStates[5] = {"すべての項目", "未完了", "進行中", "注意・警告", "選択した日の予定"};

namespace {

// [begin, end) byte ranges of UTF-8 text as the positions of the same characters in its QString.
std::vector<std::pair<int, int>> QStringRanges(std::string_view utf8,
                                               const std::vector<std::pair<size_t, size_t>>& spans) {
    std::vector<std::pair<int, int>> ranges;
    ranges.reserve(spans.size());
    size_t byte = 0;
    int unit = 0;
    const auto advance = [&](size_t to) {
        while (byte < to && byte < utf8.size()) {
            const auto lead = static_cast<unsigned char>(utf8[byte]);
            const size_t length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
            unit += length == 4 ? 2 : 1; // beyond the BMP: a surrogate pair
            byte += length;
        }
        return unit;
    };
    for (const auto& [begin, end] : spans) {
        const int from = advance(begin);
        ranges.emplace_back(from, advance(end));
    }
    return ranges;
}

// The tree suspended while the filter changes it; one reset of its rows at the end.
class TTreeUpdate {
public:
    explicit TTreeUpdate(TTreeList& tree) : mTree(tree) { mTree.BeginUpdate(); }
    ~TTreeUpdate() { mTree.EndUpdate(); }
    TTreeUpdate(const TTreeUpdate&) = delete;
    TTreeUpdate& operator=(const TTreeUpdate&) = delete;

private:
    TTreeList& mTree;
};

struct TFlag {
    bool& Value;
    explicit TFlag(bool& value) : Value(value) { Value = true; }
    ~TFlag() { Value = false; }
};

// The folders a closed folder hides: the outermost closed ancestor is the row that shows.
TTreeNode* VisibleAncestor(TTreeNode* node) {
    TTreeNode* visible = node;
    for (TTreeNode* p = node ? node->Parent() : nullptr; p; p = p->Parent())
        if (!p->Expanded()) visible = p;
    return visible;
}

} // namespace

// Enter and Shift+Enter in the text move through the finds; Esc anywhere in the bar closes it.
class TFindBar::TKeys : public QObject {
public:
    explicit TKeys(TFindBar& bar) : mBar(bar) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            mBar.mContext.Commands.Run([this] { mBar.Close(); });
            return true;
        }
        if (watched == mBar.mText && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            const bool forward = !(key->modifiers() & Qt::ShiftModifier);
            mBar.mContext.Commands.Run([this, forward] { mBar.FindNext(forward); });
            return true;
        }
        return false;
    }

private:
    TFindBar& mBar;
};

TFindBar::TFindBar(const TMainContext& context, THooks hooks)
    : mContext(context), mHooks(std::move(hooks)), mFilter(context.Document.Nodes()), mBar(new QWidget),
      mKeys(std::make_unique<TKeys>(*this)) {
    mBar->setObjectName(QStringLiteral("FindBar"));
    auto* layout = new QHBoxLayout(mBar);
    layout->setContentsMargins(4, 2, 4, 2);
    mText = new QLineEdit(mBar);
    mText->setObjectName(QStringLiteral("FindText"));
    mText->setPlaceholderText(QStringLiteral("項目名・メモ・関連リンクを検索"));
    mKana = new QCheckBox(QStringLiteral("ひらがなとカタカナを区別しない"), mBar);
    mKana->setObjectName(QStringLiteral("FindKana"));
    mState = new QComboBox(mBar);
    mState->setObjectName(QStringLiteral("FindState"));
    for (const char* state : kFindStates)
        mState->addItem(QString::fromUtf8(state));
    mCount = new QLabel(mBar);
    mCount->setObjectName(QStringLiteral("FindCount"));
    mCount->setMinimumWidth(90);
    mClose = new QToolButton(mBar);
    mClose->setObjectName(QStringLiteral("FindClose"));
    mClose->setAutoRaise(true);
    mClose->setToolTip(QStringLiteral("検索を終了"));
    layout->addWidget(mText, 1);
    layout->addWidget(mKana);
    layout->addWidget(mState);
    layout->addWidget(mCount);
    layout->addWidget(mClose);
    mBar->hide();
    mText->installEventFilter(mKeys.get());
    mBar->installEventFilter(mKeys.get());

    const auto run = [this](std::function<void()> f) { mContext.Commands.Run(f); };
    QObject::connect(mText, &QLineEdit::textChanged, mBar, [=, this] { run([this] { QueryChanged(); }); });
    QObject::connect(mKana, &QCheckBox::toggled, mBar, [=, this] { run([this] { QueryChanged(); }); });
    QObject::connect(mState, &QComboBox::currentIndexChanged, mBar, [=, this] { run([this] { QueryChanged(); }); });
    QObject::connect(mClose, &QToolButton::clicked, mBar, [=, this] { run([this] { Close(); }); });
    QObject::connect(qApp, &QApplication::focusChanged, mBar, [this](QWidget*, QWidget* now) { FocusChanged(now); });

    TMainCommands& commands = context.Commands;
    auto open = [this] { return mContext.Document.IsOpen(); };
    auto finds = [this] { return mOpen && mFilter.Active(); };
    commands.Bind(
        "ActionFind", [this] { Open(); }, open);
    commands.Bind(
        "ActionFindNext", [this] { FindNext(true); }, finds);
    commands.Bind(
        "ActionFindPrev", [this] { FindNext(false); }, finds);
    commands.Bind(
        "ActionFindClose", [this] { Close(); }, [this] { return mOpen; });
    commands.AddLook([this] { Follow(); });
    context.Document.Nodes().AddObserver(this);
}

TFindBar::~TFindBar() {
    mContext.Document.Nodes().RemoveObserver(this);
    mContext.Tree.OnLabelMarks = nullptr;
    delete mBar.data(); // unless the window's layout already took it down
}

void TFindBar::Open() {
    if (!mContext.Document.IsOpen()) return;
    if (!mOpen) {
        mOpen = true;
        GiveIcons();
        mBar->show();
        mFilter.SetQuery(QueryOfBar());
        mFilter.Prepare();  // every search form now, not on the first character
        ShowFiltered(true); // a text left from the last search finds again
        if (mHooks.OpenChanged) mHooks.OpenChanged();
    }
    mText->setFocus(Qt::ShortcutFocusReason);
    mText->selectAll();
}

// The style's icons come from the icon theme, whose first look-up is slow: not at start-up, for a
// bar that is hidden until asked for.
void TFindBar::GiveIcons() {
    if (mText->isClearButtonEnabled()) return;
    mText->setClearButtonEnabled(true);
    mClose->setIcon(mBar->style()->standardIcon(QStyle::SP_TitleBarCloseButton));
}

void TFindBar::Close() {
    if (!mOpen) return;
    mOpen = false;
    TTreeList& tree = mContext.Tree;
    TTreeNode* selected = tree.Selected();
    {
        TTreeUpdate update(tree);
        TFlag applying(mApplying);
        mFilter.Clear(mContext.Eval);
        tree.Model().ShowAll();
    }
    tree.OnLabelMarks = nullptr;
    mRows.clear();
    mKept.clear();
    mTreeChanged = false;
    const bool hadKeyboard = mKeysLent;
    mBar->hide();
    // A find inside a folder that closed again leaves the folder selected.
    if (TTreeNode* shown = VisibleAncestor(selected)) mContext.Reveal(shown);
    if (hadKeyboard) tree.setFocus();
    UpdateCount();
    if (mHooks.OpenChanged) mHooks.OpenChanged();
}

TFindQuery TFindBar::QueryOfBar() const {
    TFindQuery query;
    query.Text = mText->text().toStdString();
    query.SameKana = mKana->isChecked();
    query.State = static_cast<TStateFilter>(std::clamp(mState->currentIndex(), 0, int(sfOnDay)));
    if (query.State == sfOnDay) query.Day = mHooks.SelectedDate ? mHooks.SelectedDate() : mContext.Today;
    return query;
}

void TFindBar::QueryChanged() {
    if (!mOpen) return;
    const TFindQuery query = QueryOfBar();
    if (query == mFilter.Query()) return;
    mFilter.SetQuery(query);
    ShowFiltered(true);
}

void TFindBar::Follow() {
    if (!mOpen) return;
    if (!mContext.Document.IsOpen()) return Close();
    const TFindQuery& query = mFilter.Query();
    if (query.State == sfOnDay && mHooks.SelectedDate && query.Day != mHooks.SelectedDate()) return QueryChanged();
    if (!mTreeChanged) return;
    // What a command made or changed stays until the query changes: a renamed to-do that no
    // longer matches does not vanish under the user's hands.
    if (mFilter.Active())
        for (const TTreeNode* node : mKept)
            mFilter.KeepVisible(node);
    ShowFiltered(false);
}

// The view is reset only when the rows it shows change: typing on within the same finds costs no
// layout, and a rename box that a command opened stays.
void TFindBar::ShowFiltered(bool newQuery) {
    TTreeList& tree = mContext.Tree;
    TNodesModel& model = tree.Model();
    TTreeNode* selected = tree.Selected();
    const bool followsRows = model.Filtered() && !mTreeChanged; // the view shows mRows as they are
    tree.DeferLayout(); // the folders the filter opens or closes are laid out once
    TFilterResult result;
    {
        TFlag applying(mApplying);
        result = mFilter.Apply(mContext.Eval);
    }
    bool same;
    if (result.Everything)
        same = !model.Filtered();
    else if (followsRows)
        same = std::equal(result.Rows.begin(), result.Rows.end(), mRows.begin(), mRows.end(),
                          [](const TShownRow& a, const TShownRow& b) { return a.Node == b.Node; });
    else
        same = model.ShowsExactly(result.Rows);
    if (!same) {
        TTreeUpdate update(tree);
        if (result.Everything)
            model.ShowAll();
        else
            model.ShowOnly(result.Rows);
    }
    mRows = std::move(result.Rows);
    mTreeChanged = false;
    mKept.clear();
    if (mFilter.Matcher().Empty())
        tree.OnLabelMarks = nullptr;
    else
        tree.OnLabelMarks = [this](const TTreeNode* node) { return Marks(node); };
    if (!mFilter.Active()) {
        // The folders the filter had opened are closed again.
        TTreeNode* visible = VisibleAncestor(selected);
        if (visible != selected || (visible && newQuery)) mContext.Reveal(visible);
    } else if (model.Shown(selected)) {
        if (newQuery) tree.scrollTo(model.IndexOf(selected));
    } else if (TTreeNode* next = MatchFrom(selected, true)) {
        mContext.Reveal(next);
    } else {
        tree.SetSelected(nullptr);
    }
    tree.Redraw();
    UpdateCount();
}

// The first find after `node` in tree order (before it, going back), wrapping; `node` may be a
// row the filter hides, or none.
TTreeNode* TFindBar::MatchFrom(TTreeNode* node, bool forward) const {
    if (mRows.empty()) return nullptr;
    const TNodesModel& model = mContext.Tree.Model();
    const auto count = static_cast<ptrdiff_t>(mRows.size());
    const auto rowOf = [&](const TTreeNode* n) {
        ptrdiff_t i = 0;
        while (i < count && mRows[size_t(i)].Node != n)
            ++i;
        return i;
    };
    ptrdiff_t at; // the search starts after this row going forward, before it going back
    if (model.Shown(node)) {
        at = rowOf(node);
    } else {
        // Where the hidden node would stand: before the next row that shows.
        TTreeNode* next = node ? node->GetNext() : nullptr;
        while (next && !model.Shown(next))
            next = next->GetNext();
        const ptrdiff_t place = next ? rowOf(next) : node ? count : forward ? 0 : count;
        at = forward ? place - 1 : place;
    }
    for (ptrdiff_t step = 1; step <= count; ++step) {
        const ptrdiff_t i = ((forward ? at + step : at - step) % count + count) % count;
        if (mRows[size_t(i)].Match) return mRows[size_t(i)].Node;
    }
    return nullptr;
}

void TFindBar::FindNext(bool forward) {
    if (!mOpen || !mFilter.Active()) return;
    Follow(); // a command may have changed the rows since
    if (TTreeNode* next = MatchFrom(mContext.Tree.Selected(), forward))
        mContext.Reveal(next);
    else
        mContext.Desktop.Sound(sndInformation);
}

void TFindBar::UpdateCount() {
    if (!mOpen || !mFilter.Active()) return mCount->clear();
    size_t matches = 0;
    for (const TShownRow& row : mRows)
        matches += row.Match;
    mCount->setText(matches ? QString::fromUtf8("%1件").arg(matches) : QStringLiteral("見つかりません"));
}

std::vector<std::pair<int, int>> TFindBar::Marks(const TTreeNode* node) const {
    if (mFilter.Matcher().Empty()) return {};
    const std::string name = Cp932ToUtf8(node->Text());
    return QStringRanges(name, mFilter.Matcher().Spans(name));
}

// While the bar has the keyboard, the keys a text box needs (Space, Tab, Del, Ctrl+Z, arrows) are
// its own, not the tree's commands.
void TFindBar::FocusChanged(QWidget* now) {
    const bool inBar = now && (now == mBar || mBar->isAncestorOf(now));
    if (inBar == mKeysLent) return;
    mKeysLent = inBar;
    if (mHooks.EditingKeys) mHooks.EditingKeys(!inBar);
}

void TFindBar::EndInsertNode(TTreeNode* node) {
    mTreeChanged = true;
    if (mOpen && !mContext.Tree.Model().InBulk()) mKept.insert(node);
}

void TFindBar::NodeChanged(TTreeNode* node, unsigned what) {
    if (mApplying) return;
    // A folder opened or closed by anyone but the filter is the user's mark from now on.
    if (what & ncExpanded) mFilter.UserMarked(node);
    if (!(what & (ncText | ncImage | ncSubItems))) return;
    mTreeChanged = true;
    // A folder's own refresh after a child went is no edit of it; a to-do's is.
    const TSchItem* item = node->Data();
    const unsigned edits = item && !item->IsFolder() ? ncText | ncImage | ncSubItems : ncText | ncImage;
    TNodesModel& model = mContext.Tree.Model();
    if (mOpen && (what & edits) && !model.InBulk() && model.Shown(node)) mKept.insert(node);
}

void TFindBar::EndClear() {
    mFilter.TreeCleared();
    mKept.clear();
    mRows.clear();
    mTreeChanged = true;
}

void TFindBar::NodeDeleted(TTreeNode* node) {
    mFilter.NodeDeleted(node);
    mKept.erase(node);
    mRows.clear(); // its rows may hold the node; the next use applies the filter again
    mTreeChanged = true;
}

} // namespace quillo
