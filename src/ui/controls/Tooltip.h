// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The in-place tooltip of a tree list: a name cut off by its column is shown whole over itself
// while the pointer rests on it, for five seconds.
#include "model/NodeWatch.h"

#include <QLabel>
#include <QTimer>

namespace quillo {

class TTreeList;

class TTooltip : public QLabel {
public:
    // `watch` forgets the shown node when it leaves the tree.
    TTooltip(TTreeList& list, TNodeWatch& watch);

    void Update(const QPoint& pos); // the pointer is at `pos` in the list's viewport
    // Hidden; `forget` lets the same name show again, else it waits until the pointer leaves it.
    void Hide(bool forget);
    TTreeNode* Node() const { return mNode; }
    QTimer& Timer() { return mTimer; }

private:
    TTreeList& mList;
    QTimer mTimer;
    THeldNode mNode;
};

} // namespace quillo
