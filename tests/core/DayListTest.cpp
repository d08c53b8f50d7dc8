// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/DayList.h"
#include "core/TestTree.h"
#include "model/StateEval.h"

#include <gtest/gtest.h>

#include <set>

using namespace quillo;
using namespace quillo::test;

namespace {
const TDate kToday = D(2024, 5, 3); // Friday

TDayList ListFor(TTestSchedule& s, TDate date) {
    return BuildDayList(CollectDayItems(s.Nodes, s.Ctx, date), s.Ctx, date);
}

std::string Describe(const TDayList& l) {
    std::string out = l.RootText + "\n";
    for (const auto& c : l.Categories) {
        out += c.Text + "\n";
        for (const auto& r : c.Rows)
            out += "  " + r.Name + " " + r.EndText + " " + r.RemainingText + "\n";
    }
    return out;
}

const char* const kSchedule = "{\n"
                              "F|f||-\n{\n"
                              "I|late|0|2024|4|29|2024|5|1|0|\n"
                              "I|due|0|-|-|-|2024|5|3|0|\n"
                              "I|open|0|-|-|-|-|-|-|0|\n"
                              "I|next|0|2024|5|7|2024|5|20|0|\n"
                              "I|done|1|2024|5|1|2024|5|6|0|\n"
                              "}\n}";
} // namespace

TEST(DayList, TodayByCategory) {
    TTestSchedule s(kToday);
    s.Load(kSchedule);
    EXPECT_EQ(Describe(ListFor(s, kToday)), "今日 - 2024/05/03(金)の予定\n"
                                            "遅延項目\n  late 2024/05/01(水) 遅延\n"
                                            "注意項目\n  due 2024/05/03(金) 1日残\n"
                                            "現在進行中の項目\n  open - -\n"
                                            "今日を期間に含む完了項目\n  done 2024/05/06(月) 完了\n");
    TDayList l = ListFor(s, kToday);
    EXPECT_EQ(l.Categories[0].Image, 5);
    EXPECT_EQ(l.Categories[0].Rows[0].Image, s.Find("late")->ImageIndex());
    EXPECT_FALSE(l.NothingListed);
}

TEST(DayList, OtherDays) {
    TTestSchedule s(kToday);
    s.Load(kSchedule);
    // Tomorrow: the overdue item is not listed after today; the waiting one counts from that day.
    EXPECT_EQ(Describe(ListFor(s, kToday + 1)), "明日 - 2024/05/04(土)の予定\n"
                                                "現在進行中の項目\n  open - -\n"
                                                "明日を期間に含む完了項目\n  done 2024/05/06(月) 完了\n");
    TDayList later = ListFor(s, D(2024, 5, 10));
    ASSERT_EQ(later.Categories.size(), 2u);
    EXPECT_EQ(later.Categories[1].Text, "7日後を期間に含む未完了項目");
    EXPECT_EQ(later.Categories[1].Rows[0].RemainingText, "7日残"); // 10..20 May, weekdays only
    TDayList past = ListFor(s, D(2024, 4, 30));
    EXPECT_EQ(past.RootText, "3日前 - 2024/04/30(火)の予定");
    EXPECT_EQ(past.Categories[0].Rows[0].RemainingText, "遅延");
    // Caution on a past day: remaining days count from today (1), not from that day (4).
    EXPECT_EQ(past.Categories[1].Rows[0].Name, "due");
    EXPECT_EQ(past.Categories[1].Rows[0].RemainingText, "1日残");
}

// Over a month of days: every to-do on a day is listed once, under a category that shows the
// picture its own folder (holding only it) gets for the same state, and the empty-day note shows
// exactly when nothing is on that day.
TEST(DayList, EachToDoOfADayOnceUnderItsStatesFolderPicture) {
    TTestSchedule s(kToday);
    s.Load("{\nF|fl||+\n{\nI|late|0|2024|4|29|2024|5|1|0|\n}\nF|fd||+\n{\nI|due|0|-|-|-|2024|5|3|0|\n}\n"
           "F|fo||+\n{\nI|open|0|2024|5|2|2024|5|10|0|\n}\nF|fn||+\n{\nI|next|0|2024|5|7|2024|5|20|0|\n}\n"
           "F|fx||+\n{\nI|done|1|2024|5|1|2024|5|6|0|\n}\nF|fs||+\n{\nI|june|0|2024|6|1|2024|6|2|0|\n}\n}");
    std::set<int> pictures;
    int emptyDays = 0;
    for (TDate day = kToday - 5; day <= kToday + 25; ++day) {
        const TDayList l = ListFor(s, day);
        std::multiset<const TSchItem*> listed, onDay;
        for (const auto& c : l.Categories)
            for (const auto& r : c.Rows) {
                listed.insert(r.Item);
                EXPECT_EQ(c.Image, r.Item->Node->Parent()->ImageIndex()) << r.Name << " on " << DateText(day);
                pictures.insert(c.Image);
            }
        for (TTreeNode* n = s.Root(); n; n = n->GetNext())
            if (n->Data() && !n->Data()->IsFolder() && n->Data()->IsOnDate(s.Ctx, day)) onDay.insert(n->Data());
        EXPECT_EQ(listed, onDay) << DateText(day);
        EXPECT_EQ(l.NothingListed, onDay.empty()) << DateText(day);
        emptyDays += l.NothingListed;
    }
    EXPECT_EQ(pictures.size(), 5u); // every category was seen
    EXPECT_GT(emptyDays, 0);
}
