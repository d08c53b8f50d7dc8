// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/Cp932.h"
#include "base/TextMatcher.h"
#include "core/TestTree.h"
#include "model/DayList.h"
#include "model/ScheduleFormat.h"
#include "model/StateEval.h"
#include "model/TreeFilter.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

using namespace quillo;
using namespace quillo::test;

namespace {

std::string C(const std::string& utf8) {
    return *Utf8ToCp932(utf8);
}

bool Finds(const std::string& typed, const std::string& textUtf8, bool sameKana = false) {
    return TTextMatcher(typed, sameKana).FoundIn(SearchFormOfCp932(C(textUtf8), sameKana));
}

// Items hold cp932: the lines are converted after "|" became a tab, as "|" can be a trail byte.
TTreeNode* LoadCp932(TTestSchedule& s, const std::string& linesUtf8) {
    s.Nodes.Clear();
    TTreeNode* root = CreateScheduleRoot(s.Nodes, "test");
    ReadItemLines(s.Nodes, root, C(Tabs(linesUtf8)), nullptr);
    FinishScheduleLoad(s.Nodes, s.Ctx);
    return root;
}

std::string Rows(const TFilterResult& r) {
    if (r.Everything) return "*";
    std::string out;
    for (const TShownRow& row : r.Rows)
        out += (out.empty() ? "" : " ") + Cp932ToUtf8(row.Node->Text()) + (row.Match ? "!" : "");
    return out;
}

TTreeNode* Find(TTestSchedule& s, const std::string& utf8) {
    return s.Find(C(utf8));
}

const TDate kToday = D(2024, 5, 3);

// 仕事 was closed by the user, 資料 open.
const char* const kPlan = "{\n"
                          "F|仕事||-\n{\n"
                          "I|見積書を送る|0|2024|5|1|2024|5|10|0|\n"
                          "I|会議|0|-|-|-|-|-|-|0|%mb;見積の相談%me;\n"
                          "F|資料||+\n{\n"
                          "I|報告|1|-|-|-|-|-|-|0|%lb;http://example.com/ﾐﾂﾓﾘ%le;\n"
                          "}\n"
                          "}\n"
                          "I|個人|0|-|-|-|-|-|-|0|\n"
                          "}";

TFilterResult Search(TTreeFilter& f, TTestSchedule& s, const std::string& text, TStateFilter state = sfAll,
                     TDate day = 0) {
    f.SetQuery({text, false, state, day});
    return f.Apply(s.Ctx);
}

// What the window's model adapter does with deletion notices.
struct TForwardDeletions : INodesObserver {
    TTreeFilter* Filter = nullptr;
    void BeginInsertNode(TTreeNode*, int) override {}
    void EndInsertNode(TTreeNode*) override {}
    void BeginRemoveNode(TTreeNode*) override {}
    void EndRemoveNode(TTreeNode*, int) override {}
    void BeginMoveNode(TTreeNode*, TTreeNode*, int) override {}
    void EndMoveNode(TTreeNode*) override {}
    void NodeChanged(TTreeNode*, unsigned) override {}
    void BeginClear() override {}
    void EndClear() override { Filter->TreeCleared(); }
    void NodeDeleted(TTreeNode* node) override { Filter->NodeDeleted(node); }
};

} // namespace

TEST(TextMatcher, WidthCaseKanaAndComposedFormsMeet) {
    struct {
        const char* Typed;
        const char* Text;
        bool SameKana, Found;
    } cases[] = {
        {"abc", "見積ＡＢＣ", false, true},
        {"ＡＢＣ", "xabcx", false, true},
        {"ガイド", "ｶﾞｲﾄﾞ", false, true},
        {"ｶﾞｲ", "ガイド", false, true},
        {"カ\u3099イ", "ガイド", false, true},
        {"カイ", "ガイド", false, false},
        {"ハ", "ﾊﾟﾝ", false, false},
        {"パ", "ﾊﾟﾝ", false, true},
        {"1番", "①番", false, true},
        {"ミリ", "㍉", false, true},
        {"(株)", "㈱", false, true},
        {"σοφια", "ΣΟΦΙΑ", false, true},
        {"straße", "STRASSE", false, true},
        {"", "何でも", false, true},
        {"ii", "Ⅱ", false, true},
        {"ア", "あ", false, false},
        {"ひらが", "ヒラガナ", false, false},
        {"ひらが", "ﾋﾗｶﾞﾅ", true, true},
        {"カタカナ", "かたかな", true, true},
        {"ゞ", "ヾ", true, true},
        {"か", "ガ", true, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Finds(c.Typed, c.Text, c.SameKana), c.Found) << c.Typed << " in " << c.Text;
}

TEST(TextMatcher, FindsCp932TextAsTheEditorStoredIt) {
    // An input method gives U+301C; cp932 keeps it as 0x8160, which reads back as U+FF5E.
    const std::string waveDash = C("10時") + "\x81\x60" + C("12時");
    for (const char* typed : {"〜", "～", "~", "時〜12"})
        EXPECT_TRUE(TTextMatcher(typed, false).FoundIn(SearchFormOfCp932(waveDash, false))) << typed;
    EXPECT_TRUE(TTextMatcher("\u2212", false).FoundIn(SearchFormOfCp932(C("－5"), false))); // minus sign
    // The second byte of ソ and 表 is 0x5C, which is no backslash.
    EXPECT_FALSE(TTextMatcher("\\", false).FoundIn(SearchFormOfCp932(C("ソ表"), false)));
    EXPECT_TRUE(TTextMatcher("\\", false).FoundIn(SearchFormOfCp932(C("C:\\ソ"), false)));
}

TEST(TextMatcher, SpansCoverWholeShownCharacters) {
    using TSpans = std::vector<std::pair<size_t, size_t>>;
    // ｶﾞｲ is nine bytes and folds to the two letters typed.
    EXPECT_EQ(TTextMatcher("ガイ", false).Spans("ｶﾞｲﾄﾞとガイド"), (TSpans{{0, 9}, {18, 24}}));
    EXPECT_EQ(TTextMatcher("b", false).Spans("ＡＢＣabc"), (TSpans{{3, 6}, {10, 11}}));
    EXPECT_EQ(TTextMatcher("ss", false).Spans("Maße"), (TSpans{{2, 4}}));
    EXPECT_TRUE(TTextMatcher("", false).Spans("abc").empty());
    // Broken bytes are characters of their own, never a crash.
    EXPECT_EQ(TTextMatcher("\xff", false)
                  .Spans("a\xff"
                         "b"),
              (TSpans{{1, 2}}));
    EXPECT_FALSE(IsValidUtf8("\xe3\x81"));
}

TEST(TreeFilter, NameMemoAndLinkFindRowsShownWithTheirFolders) {
    TTestSchedule s(kToday);
    LoadCp932(s, kPlan);
    TTreeFilter f(s.Nodes);
    EXPECT_EQ(Rows(f.Apply(s.Ctx)), "*");
    EXPECT_EQ(Rows(Search(f, s, "見積")), "test 仕事 見積書を送る! 会議!");
    EXPECT_TRUE(f.Matches(Find(s, "会議"), s.Ctx));
    EXPECT_FALSE(f.Matches(Find(s, "仕事"), s.Ctx));
    EXPECT_EQ(Rows(Search(f, s, "ミツモリ")), "test 仕事 資料 報告!");
    EXPECT_EQ(Rows(Search(f, s, "ＥＸＡＭＰＬＥ")), "test 仕事 資料 報告!");
    EXPECT_EQ(Rows(Search(f, s, "仕事")), "test 仕事!");
    EXPECT_EQ(Rows(Search(f, s, "ない")), "");
}

TEST(TreeFilter, StateFiltersFollowStatesAndTheDayList) {
    TTestSchedule s(kToday);
    LoadCp932(s, "{\n"
                 "F|work||-\n{\n"
                 "I|overdue|0|2024|4|25|2024|4|30|0|\n"
                 "I|ends today|0|2024|4|20|2024|5|3|0|\n"
                 "F|inner||+\n{\nI|undated|0|-|-|-|-|-|-|0|\nI|later|0|2024|5|8|2024|5|24|0|\n}\n"
                 "I|checked|1|2024|5|2|2024|5|9|0|\n"
                 "}\n"
                 "F|no rows||-\n"
                 "F|all done||-\n{\nI|april|1|2024|4|1|2024|4|3|0|\n}\n"
                 "}");
    TTreeFilter f(s.Nodes);
    EXPECT_EQ(Rows(Search(f, s, "", sfNotDone)), "test work! overdue! ends today! inner! undated! later!");
    EXPECT_EQ(Rows(Search(f, s, "", sfInProgress)), "test work inner! undated!");
    EXPECT_EQ(Rows(Search(f, s, "", sfAlert)), "test work! overdue! ends today!");
    EXPECT_EQ(Rows(Search(f, s, "A", sfOnDay, kToday + 1)), "test work inner undated!");
    // On every day the to-dos that match are the ones the day schedule lists; folders never match
    // by their own dates (the empty one would be on every day).
    for (TDate day = kToday - 40; day <= kToday + 40; ++day) {
        std::multiset<const TSchItem*> listed, matched;
        for (const auto& category : CollectDayItems(s.Nodes, s.Ctx, day).ByCategory)
            listed.insert(category.begin(), category.end());
        for (const TShownRow& row : Search(f, s, "", sfOnDay, day).Rows)
            if (row.Match) matched.insert(row.Node->Data());
        EXPECT_EQ(matched, listed) << DateText(day);
    }
}

TEST(TreeFilter, OpensFoldersForItselfAndNeverStoresThoseMarks) {
    TTestSchedule s(kToday);
    LoadCp932(s, kPlan);
    TTreeFilter f(s.Nodes);
    TTreeNode* work = Find(s, "仕事");
    TTreeNode* papers = Find(s, "資料");
    const std::string stored = BuildScheduleText(s.Nodes, kToday, false, kToday);

    TFilterResult r = Search(f, s, "報告");
    EXPECT_EQ(r.Changed, std::vector<TTreeNode*>{work}); // 資料 was open already
    EXPECT_TRUE(work->Expanded());
    EXPECT_EQ(work->SubItems()->Text(0), "↓"); // its row was refreshed as for a user's open
    EXPECT_EQ(BuildScheduleText(s.Nodes, kToday, false, kToday), stored);

    // Not needed by the next query: closed again at once.
    EXPECT_EQ(Search(f, s, "個人").Changed, std::vector<TTreeNode*>{work});
    EXPECT_FALSE(work->Expanded());
    EXPECT_NE(work->SubItems()->Text(0), "↓");

    Search(f, s, "報告");
    EXPECT_EQ(f.Clear(s.Ctx), std::vector<TTreeNode*>{work});
    EXPECT_FALSE(work->Expanded());
    EXPECT_TRUE(papers->Expanded());

    // A folder the user closes and opens again while filtered is his: it stays open.
    Search(f, s, "報告");
    f.UserMarked(work);
    EXPECT_NE(BuildScheduleText(s.Nodes, kToday, false, kToday), stored);
    EXPECT_TRUE(f.Clear(s.Ctx).empty());
    EXPECT_TRUE(work->Expanded());
}

TEST(TreeFilter, RestoringSkipsDeletedNodesAndKeepsNewOnes) {
    TTestSchedule s(kToday);
    LoadCp932(s, "{\nF|a||-\n{\nI|x|0|-|-|-|-|-|-|0|\n}\nF|b||-\n{\nI|x|0|-|-|-|-|-|-|0|\n}\n}");
    TTreeFilter f(s.Nodes);
    TForwardDeletions forward;
    forward.Filter = &f;
    s.Nodes.AddObserver(&forward);
    TTreeNode* a = Find(s, "a");
    EXPECT_EQ(Rows(Search(f, s, "x")), "test a x! b x!");
    EXPECT_EQ(f.HeldCount(), 2u);

    s.Nodes.Delete(Find(s, "b"));
    // A new folder the user opens, likely where the deleted one lived.
    TTreeNode* c = s.Nodes.AddChild(s.Root(), "");
    BindItem(c, TSchFolder::Create("c", c));
    TTreeNode* child = s.Nodes.AddChild(c, "");
    BindItem(child, TSchToDo::Create("y", child));
    c->Expand();

    EXPECT_EQ(f.Clear(s.Ctx), std::vector<TTreeNode*>{a});
    EXPECT_FALSE(a->Expanded());
    EXPECT_TRUE(c->Expanded());

    Search(f, s, "x");
    s.Nodes.Clear();
    EXPECT_EQ(f.HeldCount(), 0u);
    s.Nodes.RemoveObserver(&forward);
}

TEST(TreeFilter, KeptRowsStayUntilTheQueryChanges) {
    TTestSchedule s(kToday);
    LoadCp932(s, kPlan);
    TTreeFilter f(s.Nodes);
    Search(f, s, "見積");
    TTreeNode* renamed = Find(s, "見積書を送る");
    renamed->Data()->SetName(C("請求書"));
    EXPECT_EQ(Rows(f.Apply(s.Ctx)), "test 仕事 会議!"); // the new text is searched, not an old form
    f.KeepVisible(renamed);
    TTreeNode* made = s.Nodes.AddChild(Find(s, "資料"), "");
    BindItem(made, TSchToDo::Create(C("新しい予定"), made));
    f.KeepVisible(made);
    EXPECT_EQ(Rows(f.Apply(s.Ctx)), "test 仕事 請求書 会議! 資料 新しい予定");
    EXPECT_EQ(Rows(Search(f, s, "見積の")), "test 仕事 会議!");
}

// Edits between walks (renames, memos, inserts, deletes, moves) against a plain recomputation.
TEST(TreeFilter, EditsBetweenWalksAgreeWithAFreshSearch) {
    const char* words[] = {"見積", "ｶﾞｲﾄﾞ", "ガイド", "Abc", "ａｂｃ", "ひらがな", "カタカナ", "①", "会議"};
    const char* typed[] = {"ガイ", "ABC", "ひら", "1", "会", "b"};
    for (unsigned seed = 1; seed <= 20; ++seed) {
        std::mt19937 rng(seed);
        auto pick = [&](auto& list) { return std::string(list[rng() % std::size(list)]); };
        TTestSchedule s(kToday);
        TTreeNode* root = CreateScheduleRoot(s.Nodes, "test");
        std::vector<TTreeNode*> nodes{root};
        auto add = [&]() {
            TTreeNode* parent = nodes[rng() % nodes.size()];
            if (parent->Data() && !parent->Data()->IsFolder()) parent = root;
            TTreeNode* n = s.Nodes.AddChild(parent, "");
            if (rng() % 3 == 0)
                BindItem(n, TSchFolder::Create(C(pick(words)), n));
            else
                BindItem(n, TSchToDo::Create(C(pick(words) + pick(words)), n, false, 0, 0, 0, C(pick(words))));
            nodes.push_back(n);
        };
        for (int i = 0; i < 120; ++i)
            add();
        TTreeFilter f(s.Nodes);
        for (int step = 0; step < 40; ++step) {
            const std::string text = pick(typed);
            const bool kana = rng() % 2;
            f.SetQuery({text, kana, sfAll, 0});
            const TFilterResult r = f.Apply(s.Ctx);

            const TTextMatcher m(text, kana);
            std::set<const TTreeNode*> shown;
            for (TTreeNode* n = s.Nodes.GetFirstNode(); n; n = n->GetNext())
                if (const TSchItem* it = n->Data(); it && (m.FoundIn(SearchFormOfCp932(it->Name, kana)) ||
                                                           m.FoundIn(SearchFormOfCp932(it->Memo, kana))))
                    for (const TTreeNode* up = n; up && shown.insert(up).second; up = up->Parent()) {
                    }
            std::vector<TTreeNode*> expected;
            for (TTreeNode* n = s.Nodes.GetFirstNode(); n; n = n->GetNext())
                if (shown.count(n)) expected.push_back(n);
            std::vector<TTreeNode*> got;
            for (const TShownRow& row : r.Rows) {
                got.push_back(row.Node);
                EXPECT_TRUE(!row.Node->Parent() || row.Node->Parent()->Expanded());
            }
            ASSERT_EQ(got, expected) << "seed " << seed << " step " << step << " " << text;

            if (nodes.size() < 2) add();
            TTreeNode* n = nodes[1 + rng() % (nodes.size() - 1)];
            switch (rng() % 4) {
            case 0:
                n->Data()->SetName(C(pick(words)));
                break;
            case 1:
                n->Data()->Memo = C(pick(words));
                break;
            case 2:
                add();
                break;
            default:
                if (!s.Nodes.MoveTo(n, root, naAddChildFirst)) break;
                if (rng() % 2) {
                    for (TTreeNode* d = n->GetNext(); d && d->HasAsParent(n); d = d->GetNext())
                        f.NodeDeleted(d), std::erase(nodes, d);
                    f.NodeDeleted(n);
                    std::erase(nodes, n);
                    s.Nodes.Delete(n);
                }
            }
        }
    }
}

TEST(TreeFilter, DeepNestingIsWalkedWithoutRecursion) {
    TTestSchedule s(kToday);
    TTreeNode* n = CreateScheduleRoot(s.Nodes, "test");
    n->Expand();
    const int depth = 200000;
    for (int i = 0; i < depth; ++i) {
        n = s.Nodes.AddChild(n, "");
        BindItem(n, TSchFolder::Create(i + 1 == depth ? "deep" : "f", n));
    }
    TTreeFilter f(s.Nodes);
    const TFilterResult r = Search(f, s, "DEEP");
    ASSERT_EQ(r.Rows.size(), static_cast<size_t>(depth) + 1);
    EXPECT_TRUE(r.Rows.back().Match);
    EXPECT_EQ(r.Rows.back().Node, n);
    EXPECT_EQ(f.Clear(s.Ctx).size(), static_cast<size_t>(depth) - 1); // all but the root and the last
}
