// SPDX-License-Identifier: GPL-3.0-or-later
// Who the reminder tells, and when: a fake clock across days, edits, holidays, deleted nodes.
#include "model/Reminder.h"
#include "base/Clock.h"
#include "base/Cp932.h"
#include "core/TestTree.h"
#include "edit/Editor.h"
#include "model/Document.h"
#include "model/ScheduleFormat.h"

#include <gtest/gtest.h>

using namespace quillo;
using namespace quillo::test;

namespace {
const TDate kToday = D(2024, 5, 3); // a Friday; Saturday and Sunday do not count

const char* const kPlan = "{\n"
                          "F|work||+\n{\n"
                          "I|late|0|-|-|-|2024|5|1|0|\n"
                          "I|dueToday|0|-|-|-|2024|5|3|0|\n"
                          "I|dueTodayToo|0|2024|5|1|2024|5|3|0|\n"
                          "I|nextWeek|0|-|-|-|2024|5|6|0|\n"
                          "}\n"
                          "I|doneLate|1|-|-|-|2024|4|1|0|\n"
                          "I|laterOn|0|2024|5|20|2024|5|21|0|\n"
                          "I|undated|0|-|-|-|-|-|-|0|\n"
                          "}";

// Ctx is the window's: its day never moves, while the reminder's clock does.
struct TRemind : ::testing::Test, TTestDocument {
    TFixedClock Clock{kToday + 0.375};
    TReminder Reminder{Doc.Nodes(), Calendar, Clock, kToday};

    TRemind() : TTestDocument(kToday) {
        Doc.Nodes().AddObserver(&Reminder);
        Load(kPlan);
    }
    void SetEnd(const std::string& name, TDate end) {
        Editor.ChangeItem(Find(name), [&](TSchItem& item) { item.EndDate = end; });
    }
};

// "name:state" for each item of a notice, in its order; "-" for no notice.
std::string Told(const std::optional<TNotice>& notice) {
    if (!notice) return "-";
    std::string s;
    for (const TNoticeItem& item : notice->Items)
        s += (s.empty() ? "" : " ") + item.Name + ":" + StateWord(item.State);
    return s;
}
} // namespace

TEST_F(TRemind, StartUpTellsTheDayOnceWarningsFirst) {
    std::optional<TNotice> n = Reminder.Opened(true);
    ASSERT_TRUE(n);
    EXPECT_EQ(Told(n), "late:警告 dueToday:注意 dueTodayToo:注意");
    EXPECT_EQ(n->Summary, "遅延 1件・注意 2件");
    EXPECT_EQ(n->Body, "late（遅延）\ndueToday（1日残）\ndueTodayToo（1日残）");
    EXPECT_TRUE(n->Critical);
    EXPECT_TRUE(n->StartsDay);
    EXPECT_EQ(n->Day, kToday);
    EXPECT_EQ(n->Items[0].EndDate, D(2024, 5, 1));

    // The rest of the day: nothing is told twice, whatever asks.
    Clock.Set(kToday + 0.99);
    EXPECT_EQ(Told(Reminder.Tick()), "-");
    EXPECT_EQ(Told(Reminder.Changed()), "-");
    EXPECT_EQ(Told(Reminder.Opened(true)), "-");
}

TEST_F(TRemind, ANewDayStartsOverAgainstThatDayAndLeavesTheWindowsStatesAlone) {
    Reminder.Opened(true);
    Clock.Set(kToday + 1 + 0.0001); // Saturday, just after midnight
    std::optional<TNotice> n = Reminder.Tick();
    EXPECT_EQ(Told(n), "late:警告 dueToday:警告 dueTodayToo:警告 nextWeek:注意");
    ASSERT_TRUE(n);
    EXPECT_EQ(n->Summary, "遅延 3件・注意 1件");
    EXPECT_EQ(n->Body, "late（遅延）\ndueToday（遅延）\ndueTodayToo（遅延）\nnextWeek（1日残）");
    EXPECT_TRUE(n->StartsDay);
    EXPECT_EQ(Reminder.Day(), kToday + 1);
    // The tree still shows the start-up day.
    EXPECT_EQ(Find("dueToday")->Data()->State, ssCaution);
    EXPECT_EQ(Find("dueToday")->SubItems()->Text(2), "1日残");
    EXPECT_EQ(Find("nextWeek")->Data()->State, ssInProgress);
    EXPECT_EQ(Told(Reminder.Tick()), "-");

    // A suspend over several days: the first tick after it tells the day it wakes to.
    Clock.Set(D(2024, 5, 20) + 0.5);
    EXPECT_EQ(Told(Reminder.Tick()), "late:警告 dueToday:警告 dueTodayToo:警告 nextWeek:警告");
    // An edit may be the first to notice the date: it tells the whole new day, too.
    Clock.Set(D(2024, 5, 21) + 0.5);
    SetEnd("undated", D(2024, 5, 30));
    n = Reminder.Changed();
    EXPECT_EQ(Told(n), "late:警告 dueToday:警告 dueTodayToo:警告 nextWeek:警告 laterOn:注意");
    EXPECT_TRUE(n && n->StartsDay);
    EXPECT_EQ(Told(Reminder.Tick()), "-");
}

TEST_F(TRemind, EditsTellWhatNewlyEntersAndOnlyWhenItIsMoreSevere) {
    Reminder.Opened(true);
    SetEnd("nextWeek", kToday);
    std::optional<TNotice> n = Reminder.Changed();
    EXPECT_EQ(Told(n), "nextWeek:注意");
    ASSERT_TRUE(n);
    EXPECT_EQ(n->Summary, "注意 1件");
    EXPECT_FALSE(n->Critical);
    EXPECT_FALSE(n->StartsDay);

    SetEnd("nextWeek", kToday - 1);
    n = Reminder.Changed();
    EXPECT_EQ(Told(n), "nextWeek:警告");
    EXPECT_EQ(n->Summary, "遅延 1件");
    EXPECT_TRUE(n->Critical);

    // Postponed into caution, out of it and back: it was told about today already.
    SetEnd("nextWeek", kToday);
    EXPECT_EQ(Told(Reminder.Changed()), "-");
    SetEnd("nextWeek", kToday + 30);
    EXPECT_EQ(Told(Reminder.Changed()), "-");
    SetEnd("nextWeek", kToday - 2);
    EXPECT_EQ(Told(Reminder.Changed()), "-");

    // Done and waiting items never tell; undoing the done mark brings back a known one.
    Editor.SetDone(Find("late"), true);
    EXPECT_EQ(Told(Reminder.Changed()), "-");
    Editor.Undo();
    EXPECT_EQ(Told(Reminder.Changed()), "-");
    Editor.ChangeItem(Find("laterOn"), [](TSchItem& item) { item.BeginDate = D(2024, 5, 10); });
    EXPECT_EQ(Find("laterOn")->Data()->State, ssWaiting);
    EXPECT_EQ(Told(Reminder.Changed()), "-");
    // A done item in the past stays quiet even when renamed.
    Editor.Rename(Find("doneLate"), "stillDone");
    EXPECT_EQ(Told(Reminder.Changed()), "-");
}

TEST_F(TRemind, HolidaysAndTheCautionLeadTellWhatTheyPushIn) {
    Reminder.Opened(true);
    Calendar.SetLevelOfDate(D(2024, 5, 6), dlHoliday); // Monday off: only today counts for nextWeek
    EXPECT_EQ(Told(Reminder.Changed()), "nextWeek:注意");

    Load("{\nI|sunday|0|-|-|-|2024|5|5|0|\nI|tuesday|0|-|-|-|2024|5|7|0|\nI|wednesday|0|-|-|-|2024|5|8|0|\n}");
    EXPECT_EQ(Told(Reminder.Opened(false)), "-");
    Calendar.SetLevelOfDate(kToday, dlHoliday); // today off too: no counted day is left for sunday
    std::optional<TNotice> n = Reminder.Changed();
    EXPECT_EQ(Told(n), "sunday:警告 tuesday:注意");
    EXPECT_EQ(n ? n->Body : "", "sunday（0日間）\ntuesday（1日残）");

    Calendar.AlertCount = 1; // wednesday: two counted days left, within a lead of two
    n = Reminder.Changed();
    EXPECT_EQ(Told(n), "wednesday:注意");
    EXPECT_EQ(n ? n->Body : "", "wednesday（2日残）");
}

TEST_F(TRemind, TheOptionsChooseWhatIsToldButEverythingIsRecorded) {
    Reminder.SetOptions({false, true, true});
    EXPECT_EQ(Told(Reminder.Opened(true)), "-");
    Reminder.SetOptions({});
    EXPECT_EQ(Told(Reminder.Changed()), "-"); // turning them on does not tell the morning again

    Reminder.SetOptions({true, false, true});
    Editor.ChangeItem(Find("laterOn"), [](TSchItem& item) { item.BeginDate = 0, item.EndDate = kToday; });
    EXPECT_EQ(Told(Reminder.Changed()), "-");
    SetEnd("undated", kToday - 1);
    EXPECT_EQ(Told(Reminder.Changed()), "undated:警告");

    Reminder.SetOptions({true, true, false});
    Clock.Set(kToday + 1.5);
    std::optional<TNotice> n = Reminder.Tick();
    EXPECT_EQ(Told(n), "nextWeek:注意");
    EXPECT_FALSE(n && n->Critical);
}

TEST_F(TRemind, AUserOpenedScheduleIsTakenAsSeenUnlessTheDayIsNew) {
    EXPECT_EQ(Told(Reminder.Opened(false)), "-");
    SetEnd("nextWeek", kToday);
    EXPECT_EQ(Told(Reminder.Changed()), "nextWeek:注意");
    Clock.Set(kToday + 1.0001); // opened in the first minute of a day, before the timer's tick
    EXPECT_EQ(Told(Reminder.Opened(false)), "late:警告 dueToday:警告 dueTodayToo:警告 nextWeek:警告");
}

TEST_F(TRemind, AnItemIsKnownByItselfNotByItsStorage) {
    Reminder.Opened(true);
    const TTreeNode* lateNode = Find("late");
    Editor.Delete(Find("late"));
    EXPECT_EQ(Told(Reminder.Changed()), "-");

    // A new late item, quite possibly in the freed node's storage, is news.
    TTreeNode* fresh = Editor.AddToDo(Find("work"), "fresh", kToday);
    Editor.KeepNew(fresh);
    SetEnd("fresh", kToday - 3);
    EXPECT_EQ(Told(Reminder.Changed()), "fresh:警告") << (fresh == lateNode ? "storage reused" : "new storage");

    // Undo takes it away and brings back the deleted item in a new node: that one was told today,
    // and so was the one that redo brings back. The window asks after every command.
    for (int i = 0; i < 3; ++i) {
        Editor.Undo();
        EXPECT_EQ(Told(Reminder.Changed()), "-") << "undo " << i;
    }
    ASSERT_NE(Find("late"), nullptr);
    EXPECT_EQ(Find("fresh"), nullptr);
    for (int i = 0; i < 3; ++i) {
        Editor.Redo();
        EXPECT_EQ(Told(Reminder.Changed()), "-") << "redo " << i;
    }

    // Closing and opening the same schedule again tells nothing new; another day tells it all.
    Doc.Close();
    Load(kPlan);
    EXPECT_EQ(Told(Reminder.Opened(false)), "-");
    EXPECT_EQ(Told(Reminder.Opened(true)), "-");
}

TEST_F(TRemind, TheBodyNamesTheFirstFewAndCountsTheRest) {
    std::string lines = "{\n";
    for (int i = 0; i < 7; ++i)
        lines += "I|item" + std::to_string(i) + "|0|-|-|-|2024|5|" + std::to_string(i < 2 ? 1 : 3) + "|0|\n";
    const std::string longName =
        Utf8ToCp932Lossy("とても長い名前の予定でございますがこれはまだまだ続きますのでそろそろ切られる頃合いです");
    lines += "I|" + longName + "|0|-|-|-|2024|5|3|0|\n}";
    Load(lines);
    std::optional<TNotice> n = Reminder.Opened(true);
    ASSERT_TRUE(n);
    EXPECT_EQ(n->Items.size(), 8u);
    EXPECT_EQ(n->Summary, "遅延 2件・注意 6件");
    EXPECT_EQ(n->Body, "item0（遅延）\nitem1（遅延）\nitem2（1日残）\nitem3（1日残）\nitem4（1日残）\nほか 3件");
    EXPECT_EQ(n->Items.back().Name, longName);
    EXPECT_EQ(MakeNotice({{Find(longName), Find(longName)->Data(), ssCaution}}, {kToday, &Calendar, nullptr}).Body,
              "とても長い名前の予定でございますがこれはまだまだ続きますのでそろそろ切られる頃合…（1日残）");
}

TEST(Alerts, SummaryWording) {
    EXPECT_EQ(AlertSummary(2, 3), "遅延 2件・注意 3件");
    EXPECT_EQ(AlertSummary(2, 0), "遅延 2件");
    EXPECT_EQ(AlertSummary(0, 3), "注意 3件");
    EXPECT_EQ(AlertSummary(0, 0), "");
}
