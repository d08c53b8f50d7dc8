// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the parts of the main window share, built without the window, so that a test drives one
// part (or a few) directly: a document with its editor and file commands, a header above a tree
// list in a plain main window, the command table, a scripted desktop and a fixed clock.
#include "base/Clock.h"
#include "controls/ExHeader.h"
#include "controls/TreeList.h"
#include "core/TestTree.h"
#include "edit/Editor.h"
#include "edit/FileCommands.h"
#include "main/ChartView.h"
#include "main/ItemCommands.h"
#include "main/ItemTransfer.h"
#include "main/MainCommands.h"
#include "main/MainContext.h"
#include "main/TreeGestures.h"
#include "model/Document.h"
#include "model/NodeWatch.h"
#include "settings/Settings.h"

#include <QLabel>
#include <QMainWindow>
#include <memory>

namespace quillo::test {

struct TMainParts {
    TTempDir Dir;
    TScriptedDesktop Desktop;
    TFixedClock Clock;
    TCalendar Calendar;
    TChart Chart{Calendar};
    TEvalContext Eval;
    TDocument Document;
    std::vector<std::string> Statuses; // what went to status panel 1
    TFileCommands Files;
    TScheduleEditor Editor{Document, Eval};
    TNodeWatch Watch{Document.Nodes()};
    std::unique_ptr<QMainWindow> Window;
    TExHeader* Header;
    TTreeList* Tree;
    QLabel* Hint;
    TMainCommands* Commands;
    std::unique_ptr<TMainContext> Context;

    explicit TMainParts(TDate today);
    ~TMainParts();
    // Writes the schedule text to plan.qlp and opens it.
    void Open(const std::string& text, const std::string& name = "plan.qlp");
    TTreeNode* Node(const std::string& name) const; // first in tree order with that text
    void Select(TTreeNode* node);                   // and the states follow, as when idle
    void Trigger(const char* command);              // as its menu entry would, when enabled
    QAction* Action(const char* command) const { return Commands->Find(command); }
};

// The parts that meet on the tree (chart, item commands, gestures, transfer), wired as the window
// wires them, in a shown window.
struct TTreeParts {
    TMainParts P;
    TMainSettings Places;
    TChartView Chart{*P.Context, [](TDate) {}};
    TItemCommands Items{*P.Context, Places, [this] { return Chart.SelectedDate(); }};
    TTreeGestures Gestures{*P.Context,
                           {[this](int focus) { Items.OpenItemProperty(focus); },
                            [this](bool given) { P.Commands->SetEditingKeys(given); }}};
    TItemTransfer Transfer{*P.Context};
    explicit TTreeParts(TDate today);
};

} // namespace quillo::test
