// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the parts of the main window share: the open document with its editor and file commands,
// the views that show it, the command table and the desktop. The window builds it once; a test builds one
// around the part it drives.
#include "base/Date.h"

#include <QString>
#include <functional>

namespace quillo {

class IDesktop;
class TCalendar;
class TChart;
class TClock;
class TDocument;
class TExHeader;
class TFileCommands;
class TMainCommands;
class TNodeWatch;
class TSchItem;
class TScheduleEditor;
class TTreeList;
class TTreeNode;
struct TEvalContext;

struct TMainContext {
    IDesktop& Desktop;
    const TClock& Clock;
    TDate Today; // the start-up day: every state is evaluated against it
    TCalendar& Calendar;
    TChart& Chart;
    const TEvalContext& Eval;
    TDocument& Document;
    TScheduleEditor& Editor;
    TFileCommands& Files;
    TNodeWatch& Watch; // nodes held between events empty themselves through it
    TTreeList& Tree;
    TExHeader& Header;
    TMainCommands& Commands;
    std::function<void(const QString&)> Hint; // status-bar panel 0

    TTreeNode* SelectedNode() const;    // none without a schedule
    TSchItem* SelectedItem() const;     // none for the root or no selection
    void Reveal(TTreeNode* node) const; // selects it and scrolls it into sight
};

// The hourglass and a suspended tree while a command changes it, restored on every way out.
class TBusyTree {
public:
    explicit TBusyTree(TTreeList& tree);
    ~TBusyTree();
    TBusyTree(const TBusyTree&) = delete;
    TBusyTree& operator=(const TBusyTree&) = delete;

private:
    TTreeList& mTree;
};

} // namespace quillo
