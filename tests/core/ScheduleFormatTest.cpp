// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ScheduleFormat.h"
#include "base/Clock.h"
#include "base/Cp932.h"
#include "base/Exceptions.h"
#include "base/StrUtil.h"
#include "core/TestTree.h"
#include "model/Chart.h"
#include "model/Document.h"
#include "model/StateEval.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sys/stat.h>

using namespace quillo;
using namespace quillo::test;

namespace {
const TDate kToday = D(2024, 5, 3);
const TDate kSavedAt = D(2024, 5, 3) + (18 * 3600 + 30 * 60 + 5) / 86400.0;

std::string Data(const std::string& name) {
    return std::string(QUILLO_TEST_DATA) + "/" + name;
}

struct TOpened {
    TCalendar Calendar;
    TChart Chart{Calendar};
    TEvalContext Ctx{kToday, &Calendar, &Chart};
    TDocument Document;
    TNodesIF& Nodes = Document.Nodes();
    TDocument::TLoadResult Result;
    explicit TOpened(const std::string& path) {
        Chart.SetChartDate(kToday + kDefaultChartOffset);
        Document.FileName = path;
        Result = Document.Load(&Ctx);
    }
    std::string Text(bool autoSave = false) const { return BuildScheduleText(Nodes, kToday, autoSave, kSavedAt); }
};

std::string ReadError(const std::string& text) {
    TNodesIF nodes;
    nodes.SetOwnsData(true);
    TTreeNode* root = CreateScheduleRoot(nodes, "t");
    try {
        ReadItemLines(nodes, root, text, nullptr);
    } catch (const EInvalidScheduleData& e) {
        for (TTreeNode* n = root->GetNext(); n; n = n->GetNext())
            if (!n->Data()) return "item-less node";
        return e.what();
    }
    return "";
}

std::string Shape(const TNodesIF& nodes) {
    std::string s;
    for (TTreeNode* n = nodes.GetFirstNode(); n; n = n->GetNext())
        s += std::to_string(n->Level()) + n->Text() + (n->Expanded() ? "+ " : " ");
    return s;
}
} // namespace

TEST(ScheduleFormat, ProgramWrittenFileIsRewrittenByteForByte) {
    TOpened f(Data("roundtrip.qlp"));
    ASSERT_EQ(f.Result.BadLine, "");
    EXPECT_EQ(f.Result.AutoSave, std::optional<bool>(true));
    EXPECT_EQ(f.Text(true), ReadFile(Data("roundtrip.qlp")));
}

TEST(ScheduleFormat, ReadWriteReadGivesTheSameTree) {
    TOpened a(Data("roundtrip.qlp"));
    TTempDir dir;
    const std::string path = dir.File("copy.qlp");
    WriteFile(path, a.Text());
    TOpened b(path);
    const std::string sa = Shape(a.Nodes), sb = Shape(b.Nodes); // titles differ: copy vs roundtrip
    EXPECT_EQ(sa.substr(sa.find(' ')), sb.substr(sb.find(' ')));
    for (TTreeNode *x = a.Nodes.GetFirstNode(), *y = b.Nodes.GetFirstNode(); x; x = x->GetNext(), y = y->GetNext()) {
        if (!x->Data()) continue;
        EXPECT_EQ(x->Data()->GetExtraText(), y->Data()->GetExtraText());
        EXPECT_EQ(x->Data()->BeginDate, y->Data()->BeginDate);
        EXPECT_EQ(x->Data()->EndDate, y->Data()->EndDate);
        EXPECT_EQ(x->Data()->Checked, y->Data()->Checked);
        EXPECT_EQ(x->Data()->HolidayMode, y->Data()->HolidayMode);
    }
    EXPECT_EQ(b.Text(), a.Text());
}

TEST(ScheduleFormat, OpenAppliesTitleExpandedStateAndRefresh) {
    TOpened f(Data("roundtrip.qlp"));
    TTreeNode* root = f.Nodes.GetFirstNode();
    EXPECT_EQ(root->Text(), "roundtrip");
    EXPECT_TRUE(root->Expanded());
    EXPECT_EQ(root->SubItems()->Count(), 65);
    TTreeNode* work = root->GetFirstChild();
    EXPECT_TRUE(work->Expanded());
    TTreeNode* closed = work->Item(3);
    EXPECT_FALSE(closed->Expanded()); // its own state, not its parent's
    EXPECT_EQ(work->Item(0)->SubItems()->Text(1), "2024/05/10(金)");
    EXPECT_EQ(work->Item(0)->Data()->Memo, "outline first");
    EXPECT_EQ(Cp932ToUtf8(work->Data()->Memo), "メモ 50%\tタブ\r\n次の行");
    EXPECT_EQ(work->Data()->Link, "http://example.com/%41");
    EXPECT_EQ(Cp932ToUtf8(work->Item(0)->Text()), "報告書ソ表");
}

TEST(ScheduleFormat, HandEditedFileReadsLeniently) {
    TOpened f(Data("handedited.qlp"));
    ASSERT_EQ(f.Result.BadLine, "");
    EXPECT_EQ(f.Result.AutoSave, std::optional<bool>(false));
    TTreeNode* work = f.Nodes.GetFirstNode()->GetFirstChild();
    ASSERT_EQ(work->Count(), 3);
    TSchItem* nine = work->Item(0)->Data();
    EXPECT_TRUE(nine->Checked); // "2" reads as checked
    EXPECT_EQ(nine->BeginDate, D(2024, 4, 1));
    EXPECT_EQ(nine->HolidayMode, 0);
    EXPECT_EQ(work->Item(1)->Data()->HolidayMode, 0); // "x"
    EXPECT_EQ(work->Item(2)->Data()->HolidayMode, 0); // "7"
    EXPECT_FALSE(work->Expanded());                   // folder line without its fourth field
    EXPECT_EQ(work->Item(1)->Data()->BeginDate, 0);
}

TEST(ScheduleFormat, EmptySchedule) {
    TOpened f(Data("empty.qlp"));
    EXPECT_EQ(f.Nodes.Count(), 1);
    EXPECT_EQ(f.Text(), ReadFile(Data("empty.qlp")));
    EXPECT_EQ(f.Text(true).substr(0, 16), "D\t2024\t5\t3\r\nA+\r\n");
    // Lines the format does not know are skipped where they stand among schedule lines...
    EXPECT_EQ(ReadError("just some text\nand more"), "");
}

// A file opened as a schedule is replaced by its next save, so only what looks like one opens:
// text that happens to hold a line starting with "#", "{", "D" or "F" is refused untouched.
TEST(ScheduleFormat, OnlyWhatLooksLikeAScheduleOpens) {
    TTempDir dir;
    std::mt19937 random(24);
    std::string noise(1u << 20, '\0');
    for (char& c : noise)
        c = static_cast<char>(random());
    for (const std::string& text :
         {std::string("# My notes\n\n- milk\n{ braces }\nF is a letter\n"), std::string("#!/bin/sh\necho {}\n"),
          std::string("#include <stdio.h>\nint main() {\n}\n"), std::string("{\n  \"D\": 1\n}\n"), noise,
          std::string("just some text\nD\t2024\t5\t3\n"), std::string("D\t2024\t2\t30\n{\n}\n"),
          std::string("D\t1800\t1\t1\n"), std::string("A-\n{\nF\tWork\t\t+\n}\n"),
          std::string("# only a comment\r\n")}) {
        WriteFile(dir.File("stray.qlp"), text);
        try {
            TOpened f(dir.File("stray.qlp"));
            ADD_FAILURE() << "opened: " << text.substr(0, 40);
        } catch (const ELoadError& e) {
            EXPECT_EQ(std::string(e.what()), dir.File("stray.qlp") + "\r\n予定表ファイルではありません。");
        }
        EXPECT_EQ(ReadFile(dir.File("stray.qlp")), text);
    }
    for (const std::string& text :
         {std::string(), std::string("\r\n \r\n"), std::string(" \r\nD\t2024\t5\t3\r\n{\r\nF\ta\t\t-\r\n}\r\n"),
          std::string("{\r\nF\ta\t\t-\r\n}\r\n\r\n# Quillory Plan Schedule File (ver0.15)\r\n"),
          std::string("{\r\nF\ta\t\t-\r\n}\r\n# Quillory Plan Exported Data (ver0.14)\r\n"),
          std::string("{\r\nF\ta\t\t-\r\n}\r\n# Quillory Plan Clipped Data (ver0.15)\r\n")}) {
        WriteFile(dir.File("plan.qlp"), text);
        TOpened f(dir.File("plan.qlp"));
        EXPECT_EQ(f.Nodes.Count(), text.find("\ta\t") == std::string::npos ? 1 : 2) << "[" << text << "]";
    }
}

// The flag is the file's: one without an "A" line never takes over the last schedule's.
TEST(ScheduleFormat, AutoSaveIsOffWithoutAnALine) {
    TTempDir dir;
    WriteFile(dir.File("on.qlp"), "D\t2024\t5\t3\r\nA+\r\n");
    WriteFile(dir.File("plain.qlp"), "D\t2024\t5\t3\r\n{\r\nF\ta\t\t-\r\n}\r\n");
    TCalendar calendar;
    TChart chart{calendar};
    TEvalContext ctx{kToday, &calendar, &chart};
    TDocument document;
    document.FileName = dir.File("on.qlp");
    document.Load(&ctx);
    EXPECT_TRUE(document.AutoSave);
    document.FileName = dir.File("plain.qlp");
    EXPECT_EQ(document.Load(&ctx).AutoSave, std::nullopt);
    EXPECT_FALSE(document.AutoSave);
}

TEST(ScheduleFormat, GoldenMessages) {
    std::ifstream list(Data("messages.txt"));
    std::string line;
    int checked = 0;
    while (std::getline(list, line)) {
        auto tab = line.find('\t');
        TOpened f(Data(line.substr(0, tab)));
        EXPECT_EQ(f.Result.BadLine, line.substr(tab + 1)) << line;
        EXPECT_FALSE(f.Result.Complete);
        for (TTreeNode* n = f.Nodes.GetFirstNode()->GetNext(); n; n = n->GetNext())
            EXPECT_NE(n->Data(), nullptr) << line;
        ++checked;
    }
    EXPECT_EQ(checked, 7);
}

TEST(ScheduleFormat, LinesBeforeAFailureStay) {
    TOpened f(Data("bad_date.qlp"));
    EXPECT_EQ(Shape(f.Nodes), "0bad_date+ 1a "); // the folder read before the bad to-do
}

TEST(ScheduleFormat, NestingRules) {
    EXPECT_EQ(ReadError(Tabs("{\n{\nF|a||-\n}\n}")), "");
    TTestSchedule s(kToday);
    s.Load("{\n{\nF|a||-\n");
    EXPECT_EQ(s.Find("a")->Level(), 1); // two "{" still make a child of the root
    s.Load("{\nF|a||-\n{\n{\n{\nI|deep|0|-|-|-|-|-|-|0|\n}\n}\n}\nF|b||-\n}");
    EXPECT_EQ(s.Find("deep")->Parent(), s.Find("a"));
    EXPECT_EQ(s.Find("b")->Parent(), s.Root());
    EXPECT_EQ(ReadError(Tabs("D|1|2|3\nA-\nI|x|0|-|-|-|-|-|-|0|")), "Line3 : 不正なノード階層");
    EXPECT_EQ(ReadError(Tabs("{\n}\nF|x||-")), "Line3 : 不正なノード階層");
    EXPECT_EQ(ReadError(Tabs("{\n}\n}")), "Line3 : 不正なノードレベル");
    EXPECT_EQ(ReadError(Tabs("{\nI|x|0|-|-|-|-|-|-\n")), ""); // nine fields
    EXPECT_EQ(ReadError(Tabs("{\nI|x|0|-|-|-|-|-\n")), "Line2 : 不正なデータ行");
    EXPECT_EQ(ReadError(Tabs("{\nI|x|0|2024|5|3|-|-|-|0|\n")), "");
    EXPECT_EQ(ReadError(Tabs("{\nI|x|0|2024|13|3|-|-|-|0|\n")), "Line2 : 不正なデータ行");
    // Only dates the writer writes back: before 1899/12/31 it would write "not set".
    EXPECT_EQ(ReadError(Tabs("{\nI|x|0|1800|1|1|-|-|-|0|\n")), "Line2 : 不正なデータ行");
    EXPECT_EQ(ReadError(Tabs("{\nI|x|0|-|-|-|1899|12|30|0|\n")), "Line2 : 不正なデータ行");
    EXPECT_EQ(ReadError(Tabs("{\nI|x|0|1899|12|31|9999|12|31|0|\n")), "");
    EXPECT_EQ(ReadError(Tabs("{\nF|" + std::string(256, 'n') + "||-")), "");
    EXPECT_EQ(ReadError(Tabs("\n\n# x\n{\nF\n")), "Line5 : 不正なデータ行"); // every line counts
}

TEST(ScheduleFormat, AutoSaveFlagFirstLineDecides) {
    std::string text = "# A+\nA-\nA+\n";
    EXPECT_EQ(ScanAutoSaveFlag(text), std::optional<bool>(false));
    text = "D\t1\t2\t3\n";
    EXPECT_EQ(ScanAutoSaveFlag(text), std::nullopt);
}

TEST(ScheduleFormat, HostileInputIsReadOrRefusedCleanly) {
    // A 10 MB single line: refused as a bad data line without trouble.
    std::string huge = "{\nF\t" + std::string(10u << 20, 'x') + "\t\t-\n}";
    EXPECT_EQ(ReadError(huge), "Line2 : 不正なデータ行");
    // NUL bytes and a lead byte at the end of a line are just bytes of a name.
    std::string odd = "{\nF\tna" + std::string(1, '\0') + "me\t\t-\nF\tlead\x81\nI\t\x81\t0\t-\t-\t-\t-\t-\t-\t0\t\n}";
    TNodesIF nodes;
    nodes.SetOwnsData(true);
    TTreeNode* root = CreateScheduleRoot(nodes, "t");
    ReadItemLines(nodes, root, odd, nullptr);
    ASSERT_EQ(root->Count(), 3);
    EXPECT_EQ(root->Item(0)->Text(), std::string("na\0me", 5));
    EXPECT_EQ(root->Item(1)->Text(), "lead\x81");
    std::string out;
    WriteItemLines(root, out);
    EXPECT_NE(out.find(std::string("F\tna\0me\t\t-\r\n", 12)), std::string::npos);
}

TEST(ScheduleFormat, MillionLevelsDeepIsReadRefreshedWrittenAndFreed) {
    std::string text;
    text.reserve(12u << 20);
    for (int i = 0; i < 1000000; ++i)
        text += "{\nF\tf\t\t+\n";
    TTestSchedule s(kToday);
    TTreeNode* root = CreateScheduleRoot(s.Nodes, "deep");
    ReadItemLines(s.Nodes, root, text, &s.Ctx);
    EXPECT_EQ(s.Nodes.Count(), 1000001);
    FinishScheduleLoad(s.Nodes, s.Ctx);
    std::string out;
    WriteItemLines(root, out);
    EXPECT_EQ(out.size(), 1000000u * 8 + 2000000u * 3);
    s.Nodes.Clear();
}

TEST(ScheduleFormat, UnreadableFilesFailAtOnce) {
    TTempDir dir;
    const std::string fifo = dir.File("x.qlp");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    try {
        TOpened f(fifo); // must not block
        FAIL() << "a FIFO was opened";
    } catch (const ELoadError& e) {
        EXPECT_EQ(std::string(e.what()), fifo + "\r\nファイルのオープン処理に失敗しました。");
    }
    const std::string folder = dir.File("y.qlp");
    mkdir(folder.c_str(), 0700);
    EXPECT_THROW(TOpened f(folder), ELoadError);
    EXPECT_THROW(TOpened f(dir.File("missing.qlp")), ELoadError);
}

TEST(ScheduleFormat, SaveSetsSavedAtEvenWhenTheWriteFails) {
    TTestSchedule s(kToday);
    s.Load("{\nF|a||-\n}");
    TFixedClock clock(kSavedAt);
    TDate savedAt = 0;
    EXPECT_THROW(SaveSchedule(s.Nodes, "/nonexistent-folder/x.qlp", kToday, true, clock, savedAt), ESaveError);
    EXPECT_EQ(savedAt, kSavedAt);
    try {
        SaveSchedule(s.Nodes, "/nonexistent-folder/x.qlp", kToday, true, clock, savedAt);
        ADD_FAILURE() << "saved into a missing folder";
    } catch (const ESaveError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "/nonexistent-folder/x.qlp の保存に失敗しました。\r\nフォルダが見つかりません。\r\n"
                  "別名での保存を試すか、自動保存を無効にして終了してください。");
    }
    TTempDir dir;
    SaveSchedule(s.Nodes, dir.File("ok.qlp"), kToday, false, clock, savedAt);
    EXPECT_NE(ReadFile(dir.File("ok.qlp")).find("# 2024/05/03 18:30:05\r\n"), std::string::npos);
}
