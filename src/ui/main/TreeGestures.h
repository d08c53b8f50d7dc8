// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the user does with the mouse on the main tree: presses, the done mark on a to-do's icon,
// the memo and link marks, renaming in place, dragging items with auto-scroll near the edges,
// opening and closing folders, and the tree's context menu.
#include "main/MainContext.h"
#include "model/NodeWatch.h"

#include <QTimer>
#include <memory>
#include <string>

class QAction;
class QMenu;

namespace quillo {

class TTreeGestures {
public:
    struct THooks {
        std::function<void(int focus)> OpenProperty; // the item property dialog on the selection
        std::function<void(bool given)> EditingKeys; // false while the rename box needs the keys
    };
    TTreeGestures(const TMainContext& context, THooks hooks);
    ~TTreeGestures();

    bool EditingLabel() const { return mEditingLabel; }
    QMenu* TreePopup() const { return TreePopupMenu.get(); }

    void TreeList1MouseDown(Qt::MouseButton button, int x, int y);
    void TreeList1MouseUp(int x, int y);
    void TreeList1DragOver(int x, int y, bool& accept);
    void TreeList1DragDrop(int x, int y);
    void TreeList1EndDrag();
    void TreeList1Editing();
    void LabelEdited(TTreeNode* node, std::string& text); // cp932
    void Timer1Timer();

private:
    enum TScrollDirection { sdUp, sdDown };
    void Expanded(TTreeNode* node); // or collapsed
    void UpdateTreePopup();
    void GiveKeysBack(); // after a rename, however it ended

    const TMainContext& mContext;
    THooks mHooks;
    THeldNode DragSourceNode, CheckClickNode;
    bool mEditingLabel = false;
    QTimer Timer1; // auto-scroll while a drag is near an edge
    TScrollDirection ScrollDirection = sdUp;
    std::unique_ptr<QMenu> TreePopupMenu;
    QMenu* TreePopupModeMenu = nullptr;
    QAction* TreePopupModes[3] = {};
};

} // namespace quillo
