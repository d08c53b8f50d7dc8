// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/TestTree.h"

#include <gtest/gtest.h>

using namespace quillo;
using namespace quillo::test;

namespace {
struct TItemFixture : ::testing::Test {
    TNodesIF Nodes;
    TTreeNode* Root = nullptr;
    TItemFixture() {
        Nodes.SetOwnsData(true);
        Root = Nodes.Add(nullptr, "root");
    }
    TSchToDo* ToDo(TTreeNode* parent, TDate b, TDate e) {
        TTreeNode* n = Nodes.AddChild(parent, "t");
        return static_cast<TSchToDo*>(BindItem(n, TSchToDo::Create("t", n, false, b, e)));
    }
    TSchFolder* Folder(TTreeNode* parent) {
        TTreeNode* n = Nodes.AddChild(parent, "f");
        return static_cast<TSchFolder*>(BindItem(n, TSchFolder::Create("f", n)));
    }
};
} // namespace

TEST_F(TItemFixture, CreateSetsFieldsAndPadsTheNode) {
    TTreeNode* n = Nodes.AddChild(Root, "node text");
    auto* item = BindItem(n, TSchToDo::Create("name", n, true, 10, 12, 2, "memo"));
    EXPECT_EQ(n->SubItems()->Count(), 65);
    EXPECT_EQ(n->Data(), item);
    EXPECT_EQ(n->Text(), "name"); // a bound node shows its item's name, kept once
    EXPECT_TRUE(item->Checked);
    EXPECT_EQ(item->HolidayMode, 2);
    EXPECT_EQ(item->Memo, "memo");
    EXPECT_EQ(item->State, ssNone);
    EXPECT_FALSE(item->Empty);
    EXPECT_EQ(item->GetDayCell(0), 0);
    EXPECT_EQ(item->GetDayCell(60), kCellNothing);
    item->SetName("renamed");
    EXPECT_EQ(n->Text(), "renamed");
}

TEST_F(TItemFixture, CloneCopiesAllButLinkAndExpanded) {
    TSchFolder* f = Folder(Root);
    f->Memo = "m";
    f->Link = "http://x";
    f->Expanded = true;
    TTreeNode* other = Nodes.AddChild(Root, "o");
    auto copy = f->Clone(other);
    EXPECT_TRUE(copy->IsFolder());
    EXPECT_EQ(copy->Memo, "m");
    EXPECT_EQ(copy->Link, "");
    EXPECT_FALSE(static_cast<TSchFolder*>(copy.get())->Expanded);
    EXPECT_EQ(copy->Node, other);
}

TEST_F(TItemFixture, ExtraTextEscapesAndRoundTrips) {
    TSchToDo* t = ToDo(Root, 0, 0);
    t->Memo = "50%\tA\r\nB";
    EXPECT_EQ(t->GetExtraText(), "%mb;50%25;%09;A%0D;%0A;B%me;");
    t->Link = "http://x/%41";
    EXPECT_EQ(t->GetExtraText(), "%mb;50%25;%09;A%0D;%0A;B%me;%lb;http://x/%25;41%le;");
    std::string extra = t->GetExtraText();
    TSchToDo* u = ToDo(Root, 0, 0);
    u->SetExtraText(extra);
    EXPECT_EQ(u->Memo, "50%\tA\r\nB");
    EXPECT_EQ(u->Link, "http://x/%41");

    for (std::string tricky : {"%me;", "a%mb;b%me;c", "%25;", "%09;", "%lb;%le;", "\xE3\x81\x8B%me;"}) {
        t->Memo = tricky;
        t->Link = tricky;
        u->SetExtraText(t->GetExtraText());
        EXPECT_EQ(u->Memo, tricky);
        EXPECT_EQ(u->Link, tricky);
    }
}

TEST_F(TItemFixture, ExtraTextMarkersOutOfOrderOrMissing) {
    TSchToDo* t = ToDo(Root, 0, 0);
    t->SetExtraText("%me;x%mb;");
    EXPECT_EQ(t->Memo, "");
    t->Memo = "old";
    t->Link = "old";
    t->SetExtraText("plain text");
    EXPECT_EQ(t->Memo, "");
    EXPECT_EQ(t->Link, "");
    t->SetExtraText("junk%lb;L%le;junk");
    EXPECT_EQ(t->Link, "L");
    EXPECT_EQ(t->GetExtraText(), "%lb;L%le;");
    t->Link.clear();
    EXPECT_EQ(t->GetExtraText(), "");
}

TEST_F(TItemFixture, ShiftDates) {
    TSchToDo* t = ToDo(Root, 0, 20);
    t->ShiftDates(3, 3);
    EXPECT_EQ(t->BeginDate, 0);
    EXPECT_EQ(t->EndDate, 23);

    TSchToDo* a = ToDo(Root, 10, 12);
    a->ShiftDates(0, -5);
    EXPECT_EQ(a->BeginDate, 7);
    EXPECT_EQ(a->EndDate, 7);

    TSchToDo* b = ToDo(Root, 10, 12);
    b->ShiftDates(5, 0);
    EXPECT_EQ(b->BeginDate, 15);
    EXPECT_EQ(b->EndDate, 15);
}

TEST_F(TItemFixture, FolderShiftForwardsToEveryItemBelow) {
    TSchFolder* f = Folder(Root);
    f->BeginDate = 100;
    TSchToDo* a = ToDo(f->Node, 10, 12);
    TSchFolder* g = Folder(f->Node);
    TSchToDo* b = ToDo(g->Node, 20, 0);
    TSchToDo* outside = ToDo(Root, 10, 12);
    f->ShiftDates(2, 2);
    EXPECT_EQ(a->BeginDate, 12);
    EXPECT_EQ(a->EndDate, 14);
    EXPECT_EQ(b->BeginDate, 22);
    EXPECT_EQ(b->EndDate, 0);
    EXPECT_EQ(f->BeginDate, 100); // its own dates come from UpdateState
    EXPECT_EQ(outside->BeginDate, 10);
}

TEST_F(TItemFixture, IsOnDate) {
    TCalendar cal;
    TEvalContext ctx{50, &cal};
    TSchToDo* none = ToDo(Root, 0, 0);
    EXPECT_TRUE(none->IsOnDate(ctx, 1));
    EXPECT_TRUE(none->IsOnDate(ctx, 99999));
    TSchToDo* endOnly = ToDo(Root, 0, 40);
    EXPECT_TRUE(endOnly->IsOnDate(ctx, 40));
    EXPECT_FALSE(endOnly->IsOnDate(ctx, 41));
    TSchToDo* beginOnly = ToDo(Root, 40, 0);
    EXPECT_FALSE(beginOnly->IsOnDate(ctx, 39));
    EXPECT_TRUE(beginOnly->IsOnDate(ctx, 400));
    TSchToDo* both = ToDo(Root, 40, 45);
    EXPECT_TRUE(both->IsOnDate(ctx, 45));
    EXPECT_FALSE(both->IsOnDate(ctx, 46));

    // Overdue: listed from its begin up to today, not after.
    both->State = ssWarning;
    EXPECT_TRUE(both->IsOnDate(ctx, 50));
    EXPECT_FALSE(both->IsOnDate(ctx, 51));
    EXPECT_FALSE(both->IsOnDate(ctx, 39));
    // Warning before its end (only non-counted days left): listed up to the end.
    TSchToDo* ahead = ToDo(Root, 48, 55);
    ahead->State = ssWarning;
    EXPECT_TRUE(ahead->IsOnDate(ctx, 55));
    EXPECT_FALSE(ahead->IsOnDate(ctx, 56));
}

TEST_F(TItemFixture, UpdateUpwardStopsAtTheRoot) {
    TCalendar cal;
    cal.HolidayLv = 2;
    TEvalContext ctx{50, &cal};
    TSchFolder* f = Folder(Root);
    TSchFolder* g = Folder(f->Node);
    TSchToDo* t = ToDo(g->Node, 0, 0);
    t->UpdateUpward(ctx);
    EXPECT_EQ(t->State, ssInProgress);
    EXPECT_EQ(g->State, ssInProgress);
    EXPECT_EQ(f->State, ssInProgress);
    EXPECT_FALSE(f->Empty);
}
