// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ExSections.h"

#include <gtest/gtest.h>

using namespace quillo;

namespace {
struct TSections : ::testing::Test {
    TExSections S;
    std::vector<std::string> Events;
    TSections() {
        S.OnColumnChange = [this](TExSection* s) { Events.push_back("column " + std::to_string(s->Index())); };
        S.OnSectionTrack = [this](TExSection* s, int w, TSectionTrackState st) {
            Events.push_back("track " + std::to_string(s->Index()) + " " + std::to_string(w) + " " +
                             std::to_string(st));
        };
        S.OnSectionResize = [this](TExSection* s) { Events.push_back("resize " + std::to_string(s->Index())); };
    }
    void AddWidths(std::initializer_list<int> widths) {
        for (int w : widths)
            S.Add()->SetWidth(w);
    }
    std::string Order() const {
        std::string o;
        for (int p = 0; p <= S.MaxPosition(); ++p)
            o += std::to_string(S.SectionByPosition(p)->Index());
        return o;
    }
};
} // namespace

TEST_F(TSections, AddAndPositions) {
    AddWidths({100, 50, 30, 20});
    EXPECT_EQ(S.MaxPosition(), 3);
    EXPECT_EQ(S.Items(2)->Left(), 150);
    EXPECT_EQ(S.Items(2)->Right(), 180);
    S.Items(3)->SetPosition(1);
    EXPECT_EQ(Order(), "0312");
    EXPECT_EQ(S.Items(3)->Index(), 3); // the collection index never changes
    EXPECT_EQ(S.Items(1)->Left(), 120);
    S.Items(1)->SetPosition(-1); // hidden
    EXPECT_EQ(Order(), "032");
    EXPECT_EQ(S.Items(1)->Left(), 0);
    EXPECT_EQ(S.Items(1)->Right(), 0);
    S.Items(1)->SetPosition(99); // appended
    EXPECT_EQ(Order(), "0321");
    S.Items(1)->SetPosition(3); // same place: nothing
    EXPECT_EQ(Events, (std::vector<std::string>{"column 3", "column 1", "column 1"}));
    EXPECT_EQ(S.SectionByPosition(S.MaxPosition() + 1), nullptr);
    EXPECT_EQ(S.SectionByPosition(-1), nullptr);
}

TEST_F(TSections, WidthLimitsAndFixColumn) {
    TExSection* s = S.Add();
    s->SetMaxWidth(40);
    EXPECT_EQ(s->Width(), 40);
    s->SetMinWidth(60); // clamped to MaxWidth
    EXPECT_EQ(s->MinWidth(), 40);
    s->SetWidth(5);
    EXPECT_EQ(s->Width(), 40);
    s->SetMaxWidth(20000);
    EXPECT_EQ(s->MaxWidth(), 10000);
    TExSections empty;
    empty.SetFixColumn(0); // nothing shown yet
    EXPECT_EQ(empty.FixColumn(), -1);
    S.SetFixColumn(-5);
    EXPECT_EQ(S.FixColumn(), -1);
    S.SetFixColumn(7);
    EXPECT_EQ(S.FixColumn(), 0);
}

TEST_F(TSections, AutoSizeShares) {
    AddWidths({100, 10, 10});
    S.Items(1)->AutoSize = S.Items(2)->AutoSize = true;
    S.ClientWidth = 201;
    for (TAutoSizeMode mode : {asStandard, asExtend1}) {
        S.AutoSizeMode = mode;
        S.AutoSizeSections(-1);
        EXPECT_EQ(S.Items(1)->Width(), 51);
        EXPECT_EQ(S.Items(2)->Width(), 50);
    }
    // One that reaches its maximum keeps it; the other takes the rest.
    S.Items(1)->SetMaxWidth(30);
    S.AutoSizeSections(-1);
    EXPECT_EQ(S.Items(1)->Width(), 30);
    EXPECT_EQ(S.Items(2)->Width(), 71);
}

TEST_F(TSections, AutoSizeExtend2KeepsProportions) {
    AddWidths({100, 30, 10});
    S.Items(1)->AutoSize = S.Items(2)->AutoSize = true;
    S.AutoSizeMode = asExtend2;
    S.ClientWidth = 180;
    S.AutoSizeSections(-1); // ratios 30:10 of 80
    EXPECT_EQ(S.Items(1)->Width(), 60);
    EXPECT_EQ(S.Items(2)->Width(), 20);
    S.ClientWidth = 110; // 10 free at 3:1 → 7.5 and 2.5, halves to even: 8 and 2
    S.AutoSizeSections(-1);
    EXPECT_EQ(S.Items(1)->Width() + S.Items(2)->Width(), 10);
    EXPECT_EQ(S.Items(2)->Width(), 2);
}

TEST_F(TSections, TrackingKeepsLimitsAndReports) {
    AddWidths({100, 50});
    TExSection* s = S.Items(0);
    s->SetMinWidth(80);
    s->SetMaxWidth(120);
    S.BeginTrack(s, 100);
    S.TrackTo(150); // wants 150
    S.TrackTo(10);  // wants 10
    S.TrackTo(110);
    S.EndTrack();
    EXPECT_EQ(s->Width(), 110);
    EXPECT_EQ(Events, (std::vector<std::string>{"track 0 100 0", "resize 0", "track 0 120 1", "resize 0",
                                                "track 0 80 1", "resize 0", "track 0 110 1", "track 0 110 2"}));
    EXPECT_EQ(S.TrackedSection(), nullptr);
}

TEST_F(TSections, FixedWidthSectionCannotBeResized) {
    AddWidths({60});
    TExSection* s = S.Items(0);
    s->SetMinWidth(60);
    s->SetMaxWidth(60);
    S.BeginTrack(s, 60);
    S.TrackTo(200);
    S.EndTrack();
    EXPECT_EQ(s->Width(), 60);
    EXPECT_EQ(Events, (std::vector<std::string>{"track 0 60 0", "track 0 60 1", "track 0 60 2"})); // no resize
}

TEST_F(TSections, TrackingOutsideStandardLeavesRoomForTheRest) {
    AddWidths({100, 50, 40});
    S.Items(2)->AutoSize = true;
    S.Items(2)->SetMinWidth(30);
    S.AutoSizeMode = asExtend1;
    S.ClientWidth = 200;
    S.BeginTrack(S.Items(0), 100);
    S.TrackTo(300);
    EXPECT_EQ(S.Items(0)->Width(), 120); // 200 - 50 - 30
    EXPECT_EQ(S.Items(2)->Width(), 30);
    S.EndTrack();
}

TEST_F(TSections, HitTest) {
    AddWidths({100, 50, 0, 30});
    EXPECT_EQ(S.HitTest(50, 5, 20).Flags, unsigned(ehOnHeader));
    EXPECT_EQ(S.HitTest(50, 5, 20).Section, S.Items(0));
    EXPECT_EQ(S.HitTest(99, 5, 20).Flags, unsigned(ehOnDivider));
    EXPECT_EQ(S.HitTest(151, 5, 20).Section, S.Items(2)); // the zero-width section's divider
    EXPECT_EQ(S.HitTest(151, 5, 20).Flags, unsigned(ehOnDivOpen));
    EXPECT_EQ(S.HitTest(-1, 5, 20).Flags, unsigned(ehToLeft));
    EXPECT_TRUE(S.HitTest(400, 5, 20).Flags & ehToRight);
    EXPECT_EQ(S.HitTest(400, 5, 20).Section, nullptr);
}

TEST_F(TSections, DragMovingSwapsPastTheCentreAndRespectsFixColumn) {
    AddWidths({100, 40, 40, 40});
    S.SetFixColumn(0);
    // The fixed first section is not armed; a click on it still counts.
    EXPECT_TRUE(S.Press(50, 5, 20));
    EXPECT_EQ(S.MovingSection(), nullptr);
    EXPECT_TRUE(S.Release());

    // Section 2 (120..160, centre 140) dragged right past section 3's centre (180).
    ASSERT_TRUE(S.Press(145, 5, 20));
    EXPECT_EQ(S.MovingSection(), S.Items(2));
    S.Move(145); // first move shows the frame
    EXPECT_TRUE(S.FrameShown());
    S.Move(186);
    EXPECT_EQ(Order(), "0123"); // the frame's centre (181) passed the neighbour's centre only now...
    S.Move(187);
    EXPECT_EQ(Order(), "0132"); // ...and the swap happens on the next move
    EXPECT_EQ(Events.back(), "column 2");
    // Back left, but never before the fixed column.
    S.Move(0);
    S.Move(-100);
    S.Move(-200);
    S.Move(-300);
    EXPECT_EQ(Order(), "0213");
    EXPECT_FALSE(S.Release()); // a frame was shown: no click
    EXPECT_FALSE(S.FrameShown());
}

TEST_F(TSections, PressOnANonClickableSectionIsSwallowed) {
    AddWidths({100, 40});
    S.Items(1)->AllowClick = false;
    EXPECT_FALSE(S.Press(120, 5, 20));
    EXPECT_EQ(S.MovingSection(), nullptr);
    EXPECT_TRUE(S.Press(10, 5, 20));
}
