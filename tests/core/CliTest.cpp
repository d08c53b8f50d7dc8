// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/Clock.h"
#include "base/FileNames.h"
#include "base/StrUtil.h"
#include "cli/CliRunner.h"
#include "core/TestTree.h"

#include <gtest/gtest.h>

#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>

using namespace quillo;
using namespace quillo::test;

namespace {
std::string Data(const std::string& name) {
    return std::string(QUILLO_TEST_DATA) + "/" + name;
}

struct TRun {
    int Code;
    std::string Out, Err;
};

TRun Cli(std::vector<std::string> args, TDate now = D(2024, 5, 3)) {
    std::ostringstream out, err;
    TFixedClock clock(now);
    int code = RunCli(args, out, err, clock);
    return {code, out.str(), err.str()};
}

// The real binary, for what only a process shows: exit codes and the streams it writes to.
int RunBinary(const std::string& args, std::string& err) {
    TTempDir dir;
    std::string cmd = std::string(QUILLO_CLI_PATH) + " " + args + " >/dev/null 2>" + dir.File("err");
    int rc = std::system(cmd.c_str());
    err = ReadFile(dir.File("err"));
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}
} // namespace

TEST(Cli, ListMatchesTheGoldenTable) {
    TTempDir config; // no settings file: first-start values
    TRun r = Cli({"list", Data("roundtrip.qlp"), "--today", "2024-05-03", "--config-dir", config.Path(), "--tsv"});
    EXPECT_EQ(r.Code, 0) << r.Err;
    EXPECT_EQ(r.Out, ReadFile(Data("roundtrip.list.tsv")));
    EXPECT_FALSE(IsRegularFile(config.File("quillo.ini"))); // read only, never written
}

TEST(Cli, AgendaMatchesTheGoldenTable) {
    TTempDir config;
    TRun r = Cli({"agenda", Data("roundtrip.qlp"), "--date", "2024-05-01", "--config-dir", config.Path(), "--tsv",
                  "--today=2024-05-03"});
    EXPECT_EQ(r.Code, 0) << r.Err;
    EXPECT_EQ(r.Out, ReadFile(Data("roundtrip.agenda.tsv")));
    TRun empty = Cli({"agenda", Data("empty.qlp"), "--config-dir", config.Path(), "--tsv"});
    EXPECT_EQ(empty.Out, "今日 - 2024/05/03(金)の予定\nこの日が期間内の予定および遅延項目はありません\n");
}

TEST(Cli, SettingsAndHolidaysChangeTheResult) {
    TTempDir config;
    WriteFile(config.File("quillo.ini"), "[DateCount]\r\nHolidayLv=0\r\nAlertCount=7\r\n[Header]\r\nChartDate=0\r\n");
    WriteFile(config.File("quillo.hld"), "2024\t5\t6\t2\r\n");
    TRun r = Cli({"list", Data("roundtrip.qlp"), "--config-dir", config.Path(), "--tsv"});
    ASSERT_EQ(r.Code, 0) << r.Err;
    // 報告書ソ表 ends 10 May: with Monday 6 May a holiday 5 days are left, within AlertCount 7.
    EXPECT_NE(r.Out.find("報告書ソ表\t2024/04/29(月)\t2024/05/10(金)\t5日残\t4\t"), std::string::npos) << r.Out;
    TRun chart =
        Cli({"list", Data("roundtrip.qlp"), "--config-dir", config.Path(), "--tsv", "--chart-date", "2024-05-10"});
    EXPECT_NE(chart.Out.find("5日残\t4\t4,-1,"), std::string::npos) << chart.Out;
}

TEST(Cli, HostileSettingsAreBroughtIntoRange) {
    TTempDir hostile, sane;
    WriteFile(hostile.File("quillo.ini"),
              "[DateCount]\r\nHolidayLv=-9\r\nAlertCount=2147483647\r\n"
              "[Holidays]\r\nSun=99\r\nSat=-2147483648\r\n[Header]\r\nChartDate=2147483647\r\n");
    WriteFile(sane.File("quillo.ini"), "[DateCount]\r\nHolidayLv=0\r\nAlertCount=7\r\n"
                                       "[Holidays]\r\nSun=2\r\nSat=0\r\n[Header]\r\nChartDate=36524\r\n");
    for (const char* command : {"list", "agenda"}) {
        TRun h =
            Cli({command, Data("roundtrip.qlp"), "--today", "2024-05-03", "--config-dir", hostile.Path(), "--tsv"});
        TRun s = Cli({command, Data("roundtrip.qlp"), "--today", "2024-05-03", "--config-dir", sane.Path(), "--tsv"});
        EXPECT_EQ(h.Code, 0) << h.Err;
        EXPECT_EQ(h.Out, s.Out) << command;
    }
}

TEST(Cli, PlainListingOfADeepTreeStaysNarrow) {
    TTempDir dir;
    std::string text;
    for (int i = 0; i < 3000; ++i)
        text += "{\nF\tf\t\t+\n";
    WriteFile(dir.File("deep.qlp"), text);
    TRun r = Cli({"list", dir.File("deep.qlp"), "--config-dir", dir.Path()});
    ASSERT_EQ(r.Code, 0) << r.Err;
    size_t widest = 0, lines = 0;
    for (size_t from = 0, to; (to = r.Out.find('\n', from)) != std::string::npos; from = to + 1, ++lines)
        widest = std::max(widest, to - from);
    EXPECT_EQ(lines, 3001u);
    EXPECT_LT(widest, 200u);
    EXPECT_NE(r.Out.find("[3000] + f"), std::string::npos);
}

TEST(Cli, CheckAndRefusals) {
    std::string err;
    EXPECT_EQ(RunBinary("check " + Data("roundtrip.qlp"), err), 0);
    EXPECT_EQ(err, "");
    EXPECT_EQ(RunBinary("check " + Data("bad_date.qlp"), err), 1);
    EXPECT_EQ(err, "Line4 : 不正なデータ行\n");
    EXPECT_EQ(RunBinary("list " + Data("bad_folder_alone.qlp"), err), 1);
    EXPECT_EQ(err, "Line4 : 不正なデータ行\n");
    EXPECT_EQ(RunBinary("agenda " + Data("bad_before_brace.qlp"), err), 1);
    EXPECT_EQ(RunBinary("check " + Data("missing.qlp"), err), 2);
    EXPECT_EQ(err, Data("missing.qlp") + "\nファイルのオープン処理に失敗しました。\n");
    TTempDir dir;
    mkfifo(dir.File("x.qlp").c_str(), 0600);
    EXPECT_EQ(RunBinary("list " + dir.File("x.qlp"), err), 2); // no hang on a FIFO
}

TEST(Cli, UsageErrors) {
    EXPECT_EQ(Cli({}).Code, 64);
    EXPECT_EQ(Cli({"frob", "x"}).Code, 64);
    EXPECT_EQ(Cli({"list"}).Code, 64);
    EXPECT_EQ(Cli({"list", "a", "b"}).Code, 64);
    EXPECT_EQ(Cli({"list", "a", "--today"}).Code, 64);
    EXPECT_EQ(Cli({"list", "a", "--today", "2024-02-30"}).Code, 64);
    EXPECT_EQ(Cli({"list", "a", "--date", "2024-02-03"}).Code, 64); // agenda's option
    EXPECT_EQ(Cli({"check", "a", "--tsv"}).Code, 64);
    TRun usage = Cli({"list", "--bogus", "1", "f"});
    EXPECT_EQ(usage.Code, 64);
    EXPECT_NE(usage.Err.find("usage: quillo-cli"), std::string::npos);
    TRun help = Cli({"--help"});
    EXPECT_EQ(help.Code, 0);
    EXPECT_NE(help.Out.find("quillo-cli agenda FILE"), std::string::npos);
}

TEST(Cli, GrepListsTheRowsTheFindBarShows) {
    TTempDir config;
    const std::vector<std::string> base = {"list",  Data("roundtrip.qlp"), "--today",    "2024-05-03",
                                           "--tsv", "--config-dir",        config.Path()};
    auto with = [&](std::vector<std::string> more) {
        more.insert(more.begin(), base.begin(), base.end());
        return Cli(more);
    };
    const std::string listed = ReadFile(Data("roundtrip.list.tsv"));
    const std::vector<std::string_view> all = SplitLines(listed);
    TRun half = with({"--grep", "ｿ"});
    ASSERT_EQ(half.Code, 0) << half.Err;
    EXPECT_EQ(half.Out, std::string(all[0]) + "\n" + std::string(all[1]) + "\n" + std::string(all[2]) + "\n");
    // The closed folder is opened to show its row, and reads as opened.
    TRun closed = with({"--grep", "日付", "--state", "progress"});
    EXPECT_NE(closed.Out.find("\tF\t2\t閉じたフォルダ\t↓\t↓\t\t3\t"), std::string::npos) << closed.Out;
    EXPECT_NE(closed.Out.find("\t日付なし\t"), std::string::npos);
    EXPECT_EQ(with({"--grep", "日付", "--state", "alert"}).Out, "");
    EXPECT_EQ(with({"--grep", "ＨＴＴＰ", "--kana"}).Out, std::string(all[0]) + "\n" + std::string(all[1]) + "\n");

    EXPECT_NE(with({"--state", "late"}).Err.find("--state wants one of all, open, progress, alert, day: late"),
              std::string::npos);
    EXPECT_EQ(with({"--grep", "x", "--date", "2024-05-01"}).Code, ceUsage); // the day of --state day only
    EXPECT_EQ(with({"--state", "day", "--date", "5/1"}).Code, ceUsage);
    EXPECT_NE(with({"--grep", "\x8c\xa9"}).Err.find("--grep wants UTF-8 text"), std::string::npos); // cp932 bytes
}

TEST(Cli, ExportWritesICalendarToStandardOutput) {
    TTempDir config;
    TRun r = Cli({"export", Data("roundtrip.qlp"), "--ics", "--today", "2024-05-03", "--config-dir", config.Path()});
    ASSERT_EQ(r.Code, 0) << r.Err;
    EXPECT_EQ(r.Out.rfind("BEGIN:VCALENDAR\r\nVERSION:2.0\r\n", 0), 0u);
    EXPECT_NE(r.Out.find("SUMMARY:報告書ソ表\r\n"), std::string::npos);
    EXPECT_NE(r.Out.find("DTSTAMP:20240503T000000Z\r\n"), std::string::npos);
    EXPECT_EQ(Cli({"export", Data("roundtrip.qlp")}).Code, ceUsage); // the format is not optional
}
