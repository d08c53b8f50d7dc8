// SPDX-License-Identifier: GPL-3.0-or-later
// Telling single clicks on the tray icon from double clicks, and the tip's byte limit.
#include "shell/TrayClick.h"
#include "base/Cp932.h"

#include <gtest/gtest.h>

using namespace quillo;

namespace {
struct TTrayClicks : ::testing::Test {
    TTrayClickTracker Tracker;
    std::vector<std::string> Events;
    int Timers = 0;
    TTrayClicks() {
        Tracker.OnClick = [this](TTrayButton b) { Events.push_back("click" + std::to_string(b)); };
        Tracker.OnSecondDown = [this](TTrayButton b) { Events.push_back("down" + std::to_string(b)); };
        Tracker.StartTimer = [this] { ++Timers; };
    }
    void Click(TTrayButton b) {
        Tracker.ButtonDown(b);
        Tracker.ButtonUp(b);
    }
};
} // namespace

TEST_F(TTrayClicks, ADoubleClickCancelsTheSingleClickAndReportsTheSecondPress) {
    Click(tbLeft);
    EXPECT_TRUE(Tracker.ClickPending());
    Tracker.DoubleClick(tbLeft);
    Tracker.ButtonUp(tbLeft); // the second release starts a timer that finds nothing to report
    Tracker.TimerFired();
    Tracker.TimerFired();
    EXPECT_EQ(Events, std::vector<std::string>{"down0"});
    EXPECT_EQ(Timers, 2);
}

TEST_F(TTrayClicks, ASingleClickIsReportedOnceAfterTheDoubleClickTime) {
    Click(tbLeft);
    Click(tbLeft); // a release while one is pending starts nothing new
    EXPECT_EQ(Timers, 1);
    EXPECT_TRUE(Events.empty());
    Tracker.TimerFired();
    Tracker.TimerFired();
    EXPECT_EQ(Events, std::vector<std::string>{"click0"});

    Click(tbMiddle);
    Tracker.TimerFired();
    Click(tbRight);
    Tracker.TimerFired();
    EXPECT_EQ(Events, (std::vector<std::string>{"click0", "click2", "click1"}));
}

TEST_F(TTrayClicks, WithBothButtonsDownTheLeftOneClicks) {
    Tracker.ButtonDown(tbRight);
    Tracker.ButtonDown(tbLeft);
    Tracker.ButtonUp(tbLeft);
    Tracker.TimerFired();
    EXPECT_EQ(Events, std::vector<std::string>{"click0"});
}

TEST_F(TTrayClicks, WithoutTheCheckAClickIsReportedAtTheRelease) {
    Tracker.CheckSingleDoubleClick = false;
    Click(tbLeft);
    EXPECT_EQ(Events, std::vector<std::string>{"click0"});
    Tracker.ButtonUp(tbRight); // a release without its press is no click
    EXPECT_EQ(Events.size(), 1u);
    EXPECT_EQ(Timers, 0);
}

TEST(TrayTip, CutsAt127BytesOfTheCodePageWithoutSplittingACharacter) {
    EXPECT_EQ(CutTipText(std::string(200, 'a')), std::string(127, 'a'));
    EXPECT_EQ(CutTipText("short"), "short");
    // A double-byte character that would end at byte 128 stays out whole.
    std::string kana;
    for (int i = 0; i < 70; ++i)
        kana += "あ";
    const std::string cut = CutTipText("x" + kana);
    EXPECT_EQ(Utf8ToCp932(cut)->size(), 127u);
    const std::string cut2 = CutTipText(kana);
    EXPECT_EQ(Utf8ToCp932(cut2)->size(), 126u);
    EXPECT_EQ(cut2.size() % 3, 0u); // whole UTF-8 characters
    // Line breaks stay; characters the code page lacks count as one byte.
    EXPECT_EQ(CutTipText("a\r\nb"), "a\r\nb");
    EXPECT_EQ(CutTipText(std::string(126, 'a') + "😀😀"), std::string(126, 'a') + "😀");
}
