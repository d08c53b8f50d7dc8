// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A tree view that shows sub-item columns in the geometry of a header placed above it.
#include "controls/ExHeader.h"
#include "controls/NodesModel.h"
#include "controls/Tooltip.h"
#include "controls/TreeListPainter.h"
#include "model/NodeWatch.h"
#include "model/NodesIF.h"

#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QTreeView>
#include <functional>
#include <memory>

namespace quillo {

class TTreeList;

// Free space kept between a clipped label and the first column's right edge.
constexpr int kTextMargin = 5;

enum THitTest : unsigned {
    htNowhere = 1,
    htOnButton = 2,
    htOnIcon = 4,
    htOnIndent = 8,
    htOnLabel = 16,
    htOnRight = 32,
    htAbove = 64,
    htBelow = 128
};

// Sender, Canvas, Node, Index, State, Rect, DefaultDraw
using TTVCustomDrawSubItemEvent =
    std::function<void(TTreeList*, QPainter*, TTreeNode*, int, QStyle::State, QRect, bool&)>;

class TTreeList : public QTreeView {
    Q_OBJECT
public:
    // Shows `items`, which must outlive the list; the list never owns or changes it.
    explicit TTreeList(TNodesIF& items, QWidget* parent = nullptr);
    ~TTreeList() override;

    TNodesIF& Items() { return mItems; }
    TNodesModel& Model() { return *mModel; }

    // A TExHeader (gets FixColumn 0) or a plain QHeaderView; nullptr unbinds; any other widget is ignored.
    void SetHeaderControl(QWidget* header);
    QWidget* HeaderControl() const { return mHeader; }
    TExHeader* ExHeader() const { return mExHeader; }

    void SetImages(const std::vector<QIcon>* images);
    bool RowSelect = true;
    bool ShowLines = false;
    bool ToolTips = true;
    bool ReadOnly = false;
    bool HideSelection = false; // paint selected rows as unselected

    void Redraw();
    // Suspends the view while the tree changes wholesale; the expanded states are applied after.
    void BeginUpdate();
    void EndUpdate();
    // Many folders about to open or close: the view lays out once afterwards, not once for each.
    void DeferLayout() { scheduleDelayedItemsLayout(); }
    void DrawTrackLine(TExSection* section, int width, TSectionTrackState state);
    bool TrackLineShown() const { return mTrackShown; }
    int TrackLineX() const { return mTrackX; }

    TTreeNode* Selected() const;
    void SetSelected(TTreeNode* node);
    TTreeNode* GetNodeAt(int x, int y) const;
    unsigned GetHitTestInfoAt(int x, int y) const;
    TTreeNode* TopItem() const;
    QRect TextRect(const TTreeNode* node) const; // the label, in viewport coordinates
    int FirstColumnWidth() const;                // W: the header's section 0, or the client width
    bool IsClipped(const TTreeNode* node) const;
    TTreeNode* DropTarget() const { return mDropTarget; }

    // Qt lays out open rows recursively, so a chain of open folders thousands deep would overflow
    // the stack. The view opens folders only down to this depth; deeper ones show closed (the
    // collection keeps their state) and OnDepthLimit tells the window.
    static constexpr int kMaxShownDepth = 1000;
    static bool Showable(const TTreeNode* node) { return node->Level() < kMaxShownDepth; }

    // Asks OnExpanding/OnCollapsing, changes the node through the collection, then tells.
    void ToggleExpanded(TTreeNode* node);
    bool EditNode(TTreeNode* node); // starts a label edit (asks OnEditing)
    bool IsEditing() const { return state() == EditingState; }

    TTreeNode* TooltipNode() const { return mTooltip->Node(); }
    bool TooltipVisible() const { return mTooltip->isVisible(); }
    QTimer& TooltipTimer() { return mTooltip->Timer(); }

    TTVCustomDrawSubItemEvent OnCustomDrawSubItem;
    std::function<void(TTreeList*, TTreeNode*, bool&)> OnEditing;
    std::function<void(TTreeList*, TTreeNode*, std::string&)> OnEdited; // cp932 text
    std::function<void(TTreeList*, TTreeNode*)> OnCancelEdit;
    // The name box replaced or left out characters cp932 cannot hold: what it did, in words.
    std::function<void(TTreeList*, const std::string&)> OnEditFitted;
    std::function<void(TTreeList*, TTreeNode*, bool&)> OnExpanding;
    std::function<void(TTreeList*, TTreeNode*, bool&)> OnCollapsing;
    std::function<void(TTreeList*, TTreeNode*)> OnExpanded;
    std::function<void(TTreeList*, TTreeNode*)> OnCollapsed;
    std::function<void(TTreeList*)> OnDepthLimit;
    // Parts of a row's label to mark (what a search found), as [begin, end) positions in its text.
    std::function<std::vector<std::pair<int, int>>(const TTreeNode*)> OnLabelMarks;
    std::function<void(TTreeList*, Qt::MouseButton, Qt::KeyboardModifiers, int, int)> OnMouseDown;
    std::function<void(TTreeList*, Qt::MouseButtons, Qt::KeyboardModifiers, int, int)> OnMouseMove;
    std::function<void(TTreeList*, Qt::MouseButton, Qt::KeyboardModifiers, int, int)> OnMouseUp;
    std::function<void(TTreeList*)> OnClick;
    std::function<void(TTreeList*)> OnDblClick;
    // Drags inside the list: Sender, Source, X, Y, Accept
    std::function<void(TTreeList*, QObject*, int, int, bool&)> OnDragOver;
    std::function<void(TTreeList*, QObject*, int, int)> OnDragDrop;
    std::function<void(TTreeList*, QObject*, int, int)> OnEndDrag; // target (or null) and where

    // Painting entry for the delegate.
    void PaintNode(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const;
    void FinishEdit(TTreeNode* node, const QString& text, bool accepted);

protected:
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    friend class TTooltip;
    friend class TTreeListPainter;
    void SyncGeometry();
    void ShowExpanded(TTreeNode* node, bool expanded);
    QRect IconRect(const QModelIndex& index) const;

    TNodesIF& mItems;
    TNodeWatch mWatch{mItems}; // the nodes below are forgotten when they leave the tree
    TNodesModel* mModel;
    QPointer<QWidget> mHeader;
    TExHeader* mExHeader = nullptr;
    QHeaderView* mPlainHeader = nullptr;
    const std::vector<QIcon>* mImages = nullptr;
    TTooltip* mTooltip;
    TTreeListPainter mPainter{*this};
    bool mTrackShown = false;
    int mTrackX = 0;
    THeldNode mDropTarget{mWatch};
    THeldNode mEditing{mWatch};
};

} // namespace quillo
