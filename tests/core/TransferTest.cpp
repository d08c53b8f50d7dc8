// SPDX-License-Identifier: GPL-3.0-or-later
// Items between schedules: paste and import placement, their single history step, and the
// iCalendar export read back by libical.
#include "edit/Transfer.h"
#include "base/Cp932.h"
#include "base/Exceptions.h"
#include "base/StrUtil.h"
#include "core/TestTree.h"
#include "edit/Editor.h"
#include "edit/ICalendar.h"
#include "model/Document.h"
#include "model/ScheduleFormat.h"

#include <gtest/gtest.h>
#include <libical/ical.h>

#include <filesystem>
#include <map>
#include <set>

using namespace quillo;
using namespace quillo::test;

namespace {
const TDate kToday = D(2024, 5, 3);

struct TTransfer : ::testing::Test {
    TCalendar Calendar;
    TChart Chart{Calendar};
    TEvalContext Ctx{kToday, &Calendar, &Chart};
    TDocument Doc;
    TScheduleEditor Editor{Doc, Ctx};
    TTempDir Dir;
    TTransfer() {
        Chart.SetChartDate(kToday - 7);
        Doc.New("test");
        ReadItemLines(
            Doc.Nodes(), Doc.Root(),
            Tabs("{\nF|Work||+\n{\nI|a|1|-|-|-|-|-|-|0|\nI|b|1|2024|5|1|2024|5|9|0|\n}\nI|c|0|-|-|-|-|-|-|0|\n}"),
            &Ctx);
        Doc.History.Clear();
    }
    TTreeNode* Find(const std::string& name) const {
        for (TTreeNode* n = Doc.Root(); n; n = n->GetNext())
            if (n->Text() == name) return n;
        return nullptr;
    }
    std::string Shape() const {
        std::string s;
        for (TTreeNode* n = Doc.Root()->GetNext(); n; n = n->GetNext())
            s += (s.empty() ? "" : " ") + n->Text() + "<" + (n->Parent()->Parent() ? n->Parent()->Text() : "root");
        return s;
    }
    std::string Lines() const {
        std::string s;
        WriteItemLines(Doc.Root(), s);
        return s;
    }
    TTreeNode* Paste(TTreeNode* at, const std::string& text, bool reset = false) {
        return PasteText(Doc, Editor, at, text, [reset] { return reset; });
    }
};
} // namespace

TEST_F(TTransfer, PasteGoesAfterAToDoIntoAFolderOrAtTheTopAndIsOneStep) {
    const std::string work = TransferText(Find("Work"), kToday, kToday + 0.5, kClippedBanner);
    EXPECT_EQ(work.substr(0, 16), "D\t2024\t5\t3\r\n{\r\nF");
    EXPECT_NE(work.find("}\r\n\r\n# Quillory Plan Clipped Data (ver0.15)\r\n# 2024/05/03 12:00:00\r\n"),
              std::string::npos);
    Paste(Find("c"), work);
    EXPECT_EQ(Shape(), "Work<root a<Work b<Work c<root Work<root a<Work b<Work");
    Paste(Find("Work"), TransferText(Find("c"), kToday, kToday, kClippedBanner));
    EXPECT_EQ(Shape(), "Work<root a<Work b<Work c<Work c<root Work<root a<Work b<Work");
    Paste(Doc.Root(), TransferText(Find("a"), kToday, kToday, kClippedBanner), true); // checks reset
    EXPECT_EQ(Doc.Root()->Item(Doc.Root()->Count() - 1)->Text(), "a");
    EXPECT_FALSE(Doc.Root()->Item(Doc.Root()->Count() - 1)->Data()->Checked);
    EXPECT_EQ(Doc.History.Count(), 3u);
    Editor.Undo();
    Editor.Undo();
    Editor.Undo();
    EXPECT_EQ(Shape(), "Work<root a<Work b<Work c<root");
}

TEST_F(TTransfer, OnlyTheFirstItemOfTheTextAndNothingOfABadText) {
    const std::string before = Lines();
    Paste(Find("c"), Tabs("{\nI|one|0|-|-|-|-|-|-|0|\nI|two|0|-|-|-|-|-|-|0|\n}"));
    EXPECT_TRUE(Find("one"));
    EXPECT_FALSE(Find("two"));
    Editor.Undo();
    for (const std::string& bad : {std::string("just words"), Tabs("{\nF\n}"), std::string()}) {
        EXPECT_THROW(Paste(Find("c"), bad), ELoadError);
        EXPECT_EQ(Lines(), before); // no "Temp" folder, nothing else
    }
    EXPECT_EQ(Doc.History.Count(), 1u); // the undone paste is still there to redo; the failures added nothing
}

TEST_F(TTransfer, ImportAddsAllTopLevelItemsOrOnAbortNothing) {
    WriteFile(Dir.File("in.qlp"), Tabs("D|2024|5|3\nA+\n{\nI|x|0|-|-|-|-|-|-|0|\nF|y||-\n}\n\n# banner\n"));
    EXPECT_EQ(ImportFile(Doc, Editor, Find("a"), Dir.File("in.qlp"), nullptr), Find("Work")); // a to-do's parent
    EXPECT_EQ(Shape(), "Work<root a<Work b<Work x<Work y<Work c<root");
    Editor.Undo(); // one step
    EXPECT_EQ(Shape(), "Work<root a<Work b<Work c<root");

    const std::string before = Lines();
    WriteFile(Dir.File("bad.qlp"), Tabs("D|2024|5|3\n{\nI|x|0|-|-|-|-|-|-|0|\nI|broken\n}\n"));
    EXPECT_THROW(
        ImportFile(Doc, Editor, nullptr, Dir.File("bad.qlp"), [](const std::string&) { throw ELoadError("aborted"); }),
        ELoadError);
    EXPECT_EQ(Lines(), before);
    std::string told;
    EXPECT_EQ(ImportFile(Doc, Editor, nullptr, Dir.File("bad.qlp"), [&](const std::string& m) { told = m; }), nullptr);
    EXPECT_EQ(told, "Line4 : 不正なデータ行");
    EXPECT_EQ(Shape(), "Work<root a<Work b<Work c<root x<root"); // what was read before it stays

    WriteFile(Dir.File("notes.txt"), "a shopping list\n");
    EXPECT_THROW(ImportFile(Doc, Editor, nullptr, Dir.File("notes.txt"), nullptr), ELoadError);
    EXPECT_THROW(ImportFile(Doc, Editor, nullptr, Dir.File("missing.qlp"), nullptr), ELoadError);
}

// Item lines outside the braces belong to the target like the rest: nothing a paste or an import
// reads lands beside it, where no step of the history would take it away again.
TEST_F(TTransfer, LinesOutsideTheBracesStayInTheTargetAndTheStep) {
    const std::string before = Lines();
    Paste(Find("Work"), Tabs("I|INJECTED|0|-|-|-|-|-|-|0|\n"));
    EXPECT_EQ(Shape(), "Work<root a<Work b<Work INJECTED<Work c<root");
    Paste(Find("c"), Tabs("{\nI|y|0|-|-|-|-|-|-|0|\n}\nI|z|0|-|-|-|-|-|-|0|\n")); // only the first item
    EXPECT_EQ(Shape(), "Work<root a<Work b<Work INJECTED<Work c<root y<root");
    EXPECT_THROW(Paste(Find("c"), Tabs("I|half|0|-|-|-|-|-|-|0|\nI|broken\n")), ELoadError);
    EXPECT_EQ(Shape(), "Work<root a<Work b<Work INJECTED<Work c<root y<root");
    EXPECT_EQ(Doc.History.Count(), 2u);
    Editor.Undo();
    Editor.Undo();
    EXPECT_EQ(Lines(), before);

    WriteFile(Dir.File("bare.qlp"), Tabs("D|2024|5|3\nI|x|0|-|-|-|-|-|-|0|\n{\nI|x1|0|-|-|-|-|-|-|0|\n}\n"
                                         "I|y|0|-|-|-|-|-|-|0|\n"));
    WriteFile(Dir.File("mixed.qlp"), Tabs("D|2024|5|3\n{\nI|p|0|-|-|-|-|-|-|0|\n}\nI|q|0|-|-|-|-|-|-|0|\n"));
    EXPECT_EQ(ImportFile(Doc, Editor, Find("Work"), Dir.File("bare.qlp"), nullptr), Find("Work"));
    EXPECT_EQ(ImportFile(Doc, Editor, Doc.Root(), Dir.File("mixed.qlp"), nullptr), Doc.Root());
    EXPECT_EQ(Shape(), "Work<root a<Work b<Work x<Work x1<x y<Work c<root p<root q<root");
    EXPECT_EQ(Doc.History.Count(), 2u);
    Editor.Undo();
    Editor.Undo();
    EXPECT_EQ(Lines(), before);
}

TEST(Transfer, SafeFileNamesKeepDoubleByteCharacters) {
    EXPECT_EQ(SafeFileName("a/b:c.d"), "abcd");
    EXPECT_EQ(SafeFileName("\"*?<>|\\x"), "x");
    EXPECT_EQ(SafeFileName("\x95\x5C/\x83\x5C"), "\x95\x5C\x83\x5C");  // 表 and ソ end in 0x5C
    EXPECT_EQ(SafeFileName("\x83\x41:\x83\x7C|"), "\x83\x41\x83\x7C"); // ア and ポ end in A and |
}

namespace {
std::string Prop(icalcomponent* c, icalproperty_kind kind) {
    icalproperty* p = icalcomponent_get_first_property(c, kind);
    return p ? icalproperty_get_value_as_string(p) : "";
}
} // namespace

TEST(ICalendar, ReadsBackWithEverythingAnItemHolds) {
    TTestSchedule s(kToday);
    std::string lines;
    for (int i = 0; i < 1000; ++i)
        lines += "{\nF|\x95\x5C" + std::to_string(i) + "||+\n";
    lines += "{\nI|\x83\x5C|1|2024|5|1|2024|5|9|2|%mb;a, b; c\\d%0D;%0A;next%me;%lb;http://x/?a=1%le;\n";
    s.Load(lines);
    const std::string ics = ScheduleToICalendar(s.Nodes, "/home/u/plan.qlp", kToday + 0.5);
    EXPECT_EQ(ics, ScheduleToICalendar(s.Nodes, "/home/u/plan.qlp", kToday + 0.5)); // stable UIDs
    EXPECT_NE(ics, ScheduleToICalendar(s.Nodes, "/home/u/other.qlp", kToday + 0.5));

    icalcomponent* cal = icalparser_parse_string(ics.c_str());
    ASSERT_TRUE(cal);
    std::map<std::string, icalcomponent*> byUid;
    std::vector<icalcomponent*> todos;
    for (icalcomponent* c = icalcomponent_get_first_component(cal, ICAL_VTODO_COMPONENT); c;
         c = icalcomponent_get_next_component(cal, ICAL_VTODO_COMPONENT)) {
        todos.push_back(c);
        byUid[icalcomponent_get_uid(c)] = c;
    }
    ASSERT_EQ(todos.size(), 1001u);
    EXPECT_EQ(byUid.size(), 1001u);
    icalcomponent* todo = todos.back();
    EXPECT_EQ(std::string(icalcomponent_get_summary(todo)), "ソ");
    EXPECT_EQ(std::string(icalcomponent_get_description(todo)), "a, b; c\\d\nnext");
    EXPECT_EQ(Prop(todo, ICAL_URL_PROPERTY), "http://x/?a=1");
    EXPECT_EQ(Prop(todo, ICAL_STATUS_PROPERTY), "COMPLETED");
    EXPECT_TRUE(Prop(todo, ICAL_COMPLETED_PROPERTY).empty()); // the export knows it is done, not when
    EXPECT_EQ(Prop(todo, ICAL_PERCENTCOMPLETE_PROPERTY), "100");
    const icaltimetype start = icalcomponent_get_dtstart(todo), due = icalcomponent_get_due(todo);
    EXPECT_TRUE(start.is_date);
    EXPECT_EQ(start.year * 10000 + start.month * 100 + start.day, 20240501);
    EXPECT_EQ(due.year * 10000 + due.month * 100 + due.day, 20240509);
    EXPECT_NE(ics.find("X-QUILLO-HOLIDAY-MODE:2"), std::string::npos);
    // Every item inside a folder names the folder as its parent, all the way up.
    int depth = 0;
    for (icalcomponent* c = todo; c; ++depth) {
        icalproperty* related = icalcomponent_get_first_property(c, ICAL_RELATEDTO_PROPERTY);
        if (!related) break;
        c = byUid.at(icalproperty_get_relatedto(related));
    }
    EXPECT_EQ(depth, 1000);
    EXPECT_EQ(std::string(icalcomponent_get_summary(todos.front())), "表0");
    icalcomponent_free(cal);
}

// Names repeat among siblings and in copied folders; every to-do still gets its own UID, and each
// child names its own parent as its parent.
TEST(ICalendar, SameNamedItemsGetTheirOwnUids) {
    TTestSchedule s(kToday);
    s.Load("{\nF|f||+\n{\nI|x|0|-|-|-|-|-|-|0|\nI|x|0|-|-|-|-|-|-|0|\n}\nF|f||+\n{\nI|x|0|-|-|-|-|-|-|0|\n}\n}");
    const std::string ics = ScheduleToICalendar(s.Nodes, "/p.qlp", kToday);
    icalcomponent* cal = icalparser_parse_string(ics.c_str());
    ASSERT_TRUE(cal);
    std::vector<std::string> uids, parents;
    for (icalcomponent* c = icalcomponent_get_first_component(cal, ICAL_VTODO_COMPONENT); c;
         c = icalcomponent_get_next_component(cal, ICAL_VTODO_COMPONENT)) {
        uids.push_back(icalcomponent_get_uid(c));
        icalproperty* related = icalcomponent_get_first_property(c, ICAL_RELATEDTO_PROPERTY);
        parents.push_back(related ? icalproperty_get_relatedto(related) : "");
        if (related) {
            icalparameter* type = icalproperty_get_first_parameter(related, ICAL_RELTYPE_PARAMETER);
            EXPECT_TRUE(type && icalparameter_get_reltype(type) == ICAL_RELTYPE_PARENT);
        }
    }
    icalcomponent_free(cal);
    ASSERT_EQ(uids.size(), 5u);
    EXPECT_EQ(std::set<std::string>(uids.begin(), uids.end()).size(), 5u);
    EXPECT_EQ(parents, (std::vector<std::string>{"", uids[0], uids[0], "", uids[3]}));
}

// Every date a schedule holds is written as it stands (libical writes years after 3000 as zeros
// when given them as fields), and a NUL byte in a name does not end it.
TEST(ICalendar, EveryYearAnItemHoldsAndEveryByteOfItsName) {
    TTestSchedule s(kToday);
    s.Load(std::string("{\nI|na") + '\0' + "me|1|1899|12|31|9999|12|31|0|%mb;a" + '\0' + "b%me;\n");
    const std::string ics = ScheduleToICalendar(s.Nodes, "/home/u/plan.qlp", D(5000, 1, 2) + 0.5);
    EXPECT_EQ(ics.find("00000000"), std::string::npos) << ics;
    EXPECT_NE(ics.find("DTSTAMP:50000102T120000Z"), std::string::npos) << ics;
    icalcomponent* cal = icalparser_parse_string(ics.c_str());
    ASSERT_TRUE(cal);
    icalcomponent* todo = icalcomponent_get_first_component(cal, ICAL_VTODO_COMPONENT);
    ASSERT_TRUE(todo);
    EXPECT_EQ(std::string(icalcomponent_get_summary(todo)), "name");
    EXPECT_EQ(std::string(icalcomponent_get_description(todo)), "ab");
    const icaltimetype start = icalcomponent_get_dtstart(todo), due = icalcomponent_get_due(todo);
    EXPECT_EQ(start.year * 10000 + start.month * 100 + start.day, 18991231);
    EXPECT_EQ(due.year * 10000 + due.month * 100 + due.day, 99991231);
    EXPECT_TRUE(due.is_date);
    icalcomponent_free(cal);
}

TEST_F(TTransfer, DroppedFilesBecomeLinkedToDosOrAreImportedAsOneStep) {
    WriteFile(Dir.File("site.url"), "[InternetShortcut]\r\nURL=https://example.org/\r\n");
    WriteFile(Dir.File("LOUD.URL"), "[InternetShortcut]\r\nURL=https://example.net/\r\n");
    WriteFile(Dir.File("notes.txt"), "x");
    std::filesystem::create_directory(Dir.File("Folder"));
    WriteFile(Dir.File("more.qlp"), Tabs("D|2024|5|3\n{\nI|imported|0|-|-|-|-|-|-|0|\n}\n"));
    WriteFile(Dir.File("OLD.QLP"), Tabs("D|2024|5|3\n{\nI|shouted|0|-|-|-|-|-|-|0|\n}\n"));
    const std::string before = Lines();
    TTreeNode* last =
        AddDroppedFiles(Doc, Editor, Find("Work"),
                        {Dir.File("site.url"), Dir.File("missing.txt"), Dir.File("notes.txt"), Dir.File("more.qlp"),
                         Dir.File("LOUD.URL"), Dir.File("OLD.QLP"), Dir.File("Folder/")},
                        kToday + 2, nullptr);
    EXPECT_EQ(Shape(),
              "Work<root a<Work b<Work imported<Work shouted<Work c<root site<root notes<root LOUD<root Folder<root");
    ASSERT_TRUE(last);
    EXPECT_EQ(last->Text(), "Folder");
    EXPECT_EQ(Find("site")->Data()->Link, "https://example.org/");
    EXPECT_EQ(Find("LOUD")->Data()->Link, "https://example.net/");
    EXPECT_EQ(Find("notes")->Data()->Link, Dir.File("notes.txt"));
    EXPECT_EQ(Find("notes")->Data()->BeginDate, kToday + 2);
    EXPECT_EQ(Find("notes")->Data()->EndDate, kToday + 2);
    EXPECT_EQ(Doc.History.Count(), 1u); // the whole drop
    Editor.Undo();
    EXPECT_EQ(Lines(), before);
}
