// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/Clock.h"
#include "base/Cp932.h"
#include "base/FdOutBuf.h"
#include "base/FileNames.h"
#include "base/SafeFile.h"
#include "base/StrUtil.h"
#include "cli/CliRunner.h"
#include "core/TestTree.h"
#include "model/Document.h"
#include "shell/CommandLine.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <random>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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
    std::string text = "D\t2024\t5\t3\n";
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
    EXPECT_EQ(err, "quillo-cli: " + Data("bad_date.qlp") + ": Line4 : 不正なデータ行\n");
    EXPECT_EQ(RunBinary("list " + Data("bad_folder_alone.qlp"), err), 1);
    EXPECT_EQ(err, "quillo-cli: " + Data("bad_folder_alone.qlp") + ": Line4 : 不正なデータ行\n");
    EXPECT_EQ(RunBinary("agenda " + Data("bad_before_brace.qlp"), err), 1);
    EXPECT_EQ(RunBinary("check " + Data("missing.qlp"), err), 2);
    EXPECT_EQ(err, "quillo-cli: " + Data("missing.qlp") + ": No such file or directory\n");
    TTempDir dir;
    mkfifo(dir.File("x.qlp").c_str(), 0600);
    EXPECT_EQ(RunBinary("list " + dir.File("x.qlp"), err), 2); // no hang on a FIFO
    WriteFile(dir.File("notes.md"), "# My notes\n\n{ not a block }\n");
    EXPECT_EQ(RunBinary("check " + dir.File("notes.md"), err), 2);
    EXPECT_EQ(err, "quillo-cli: " + dir.File("notes.md") + ": 予定表ファイルではありません。\n");
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
    EXPECT_EQ(Cli({"list", "-x", "f"}).Code, 64);
    EXPECT_EQ(Cli({"list", "f", "--today", "2024/05-03"}).Code, 64); // one separator or the other
    TRun usage = Cli({"list", "--bogus", "1", "f"});
    EXPECT_EQ(usage.Code, 64);
    EXPECT_EQ(usage.Err.rfind("quillo-cli: unknown option: --bogus\nusage: quillo-cli", 0), 0u);
    TRun help = Cli({"--help"});
    EXPECT_EQ(help.Code, 0);
    EXPECT_NE(help.Out.find("quillo-cli agenda FILE"), std::string::npos);
    EXPECT_EQ(Cli({"-V"}).Out, "quillo-cli (Quillory Plan) " QUILLO_TEST_VERSION "\n");
    EXPECT_EQ(Cli({"list", "--version"}).Code, 0);
    // After "--" nothing is an option: "--help" is a file's name, and missing.
    TRun file = Cli({"list", "--", "--help"});
    EXPECT_EQ(file.Code, ceUnreadable);
    EXPECT_EQ(file.Err, "quillo-cli: --help: No such file or directory\n");
}

namespace {
// A shell command line's exit code and standard error; standard output goes where the line says.
TRun Shell(const std::string& line) {
    TTempDir dir;
    const std::string cmd = "bash -c '" + line + "' >" + dir.File("out") + " 2>" + dir.File("err");
    const int rc = std::system(cmd.c_str());
    return {WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, ReadFile(dir.File("out")), ReadFile(dir.File("err"))};
}

const std::string kCli = QUILLO_CLI_PATH;
} // namespace

TEST(Cli, StandardInputReadsLikeTheFileAndDatesTakeEitherSeparator) {
    TTempDir config;
    const std::string options = " --today 2024/05/03 --config-dir " + config.Path() + " --tsv";
    const std::string golden = ReadFile(Data("roundtrip.list.tsv"));
    TRun piped = Shell("cat " + Data("roundtrip.qlp") + " | " + kCli + " list - --title roundtrip" + options);
    EXPECT_EQ(piped.Code, 0) << piped.Err;
    EXPECT_EQ(piped.Out, golden);
    TRun redirected = Shell(kCli + " list --title=roundtrip -" + options + " < " + Data("roundtrip.qlp"));
    EXPECT_EQ(redirected.Out, golden);
    // Without a title a schedule from standard input is named as a new one; only the root row differs.
    TRun untitled = Shell("cat " + Data("roundtrip.qlp") + " | " + kCli + " list -" + options);
    EXPECT_EQ(untitled.Out.substr(untitled.Out.find('\n')), golden.substr(golden.find('\n')));
    EXPECT_EQ(untitled.Out.rfind("0\tR\t0\t新規予定表\t", 0), 0u);

    TRun agenda = Cli({"agenda", Data("roundtrip.qlp"), "--date", "2024/05/01", "--config-dir", config.Path(), "--tsv",
                       "--today=2024-05-03"});
    EXPECT_EQ(agenda.Out, ReadFile(Data("roundtrip.agenda.tsv")));

    // Standard input may be a pipe, but it is held to the same cap and the same checks as a file.
    TRun huge = Shell("head -c 67108865 /dev/zero | " + kCli + " check -");
    EXPECT_EQ(huge.Code, ceUnreadable);
    EXPECT_EQ(huge.Err, std::string("quillo-cli: (standard input): ") + kTooLargeText + "\n");
    TRun notSchedule = Shell("echo hello | " + kCli + " check -");
    EXPECT_EQ(notSchedule.Code, ceUnreadable);
    EXPECT_EQ(notSchedule.Err, std::string("quillo-cli: (standard input): ") + kNotScheduleText + "\n");
    TRun folder = Shell(kCli + " check - < /");
    EXPECT_EQ(folder.Err, "quillo-cli: (standard input): Is a directory\n");
}

TEST(Cli, AFailedWriteToStandardOutputIsAFailure) {
    TTempDir dir;
    std::string big = "D\t2024\t5\t3\r\n{\r\n";
    for (int i = 0; i < 3000; ++i)
        big += "I\tto-do " + std::to_string(i) + "\t0\t2024\t5\t1\t2024\t5\t9\t0\t\r\n";
    WriteFile(dir.File("big.qlp"), big + "}\r\n");
    const std::string full = ": standard output: No space left on device\n";
    for (const std::string args : {"list big.qlp", "agenda big.qlp --tsv", "export big.qlp --ics",
                                   "alerts big.qlp --today 2024-05-20", "--help", "-V"}) {
        TRun r = Shell("cd " + dir.Path() + " && " + kCli + " " + args + " --config-dir . > /dev/full");
        EXPECT_EQ(r.Code, ceOutputFailed) << args;
        EXPECT_EQ(r.Err, "quillo-cli" + full) << args;
    }
    // A reader that goes away: with SIGPIPE ignored the write fails instead of ending the process.
    TRun closed = Shell("trap \"\" PIPE; " + kCli + " list " + dir.File("big.qlp") + " --config-dir " + dir.Path() +
                        " | head -c 10 >/dev/null; exit ${PIPESTATUS[0]}");
    EXPECT_EQ(closed.Code, ceOutputFailed);
    EXPECT_EQ(closed.Err, "quillo-cli: standard output: Broken pipe\n");
    TRun none = Shell(kCli + " list " + dir.File("big.qlp") + " --config-dir " + dir.Path() + " >&-");
    EXPECT_EQ(none.Code, ceOutputFailed);
    // A failure seen by the stream alone still fails the run.
    std::ostringstream out, err;
    out.setstate(std::ios::badbit);
    TFixedClock clock(D(2024, 5, 3));
    EXPECT_EQ(RunCli({"--help"}, out, err, clock), ceOutputFailed);
    EXPECT_EQ(err.str(), "quillo-cli: standard output: write error\n");
}

TEST(FdOutBuf, KeepsTheReasonOfTheFirstFailedWrite) {
    // Written, with the reason still known after later writes were dropped.
    for (const auto& [open, reason] : std::vector<std::pair<std::function<int()>, std::string>>{
             {[] { return ::open("/dev/full", O_WRONLY | O_CLOEXEC); }, "No space left on device"},
             {[] {
                  int ends[2] = {-1, -1};
                  EXPECT_EQ(::pipe(ends), 0);
                  ::close(ends[0]);
                  return ends[1];
              },
              "Broken pipe"}}) {
        const auto previous = std::signal(SIGPIPE, SIG_IGN);
        const int fd = open();
        {
            TFdOutBuf buffer(fd);
            std::ostream out(&buffer);
            out << std::string(200000, 'x') << "tail";
            errno = 0;
            std::ostringstream err;
            EXPECT_FALSE(FlushOutput(out, err, "quillo-cli"));
            EXPECT_EQ(err.str(), "quillo-cli: standard output: " + reason + "\n");
            EXPECT_NE(buffer.Error(), 0);
        }
        ::close(fd);
        std::signal(SIGPIPE, previous);
    }
    // A stream that takes everything is left alone.
    TTempDir dir;
    const int fd = ::open(dir.File("out").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    {
        TFdOutBuf buffer(fd);
        std::ostream out(&buffer);
        out << std::string(200000, 'x');
        std::ostringstream err;
        EXPECT_TRUE(FlushOutput(out, err, "quillo-cli"));
        EXPECT_EQ(err.str(), "");
    }
    ::close(fd);
    EXPECT_EQ(ReadFile(dir.File("out")).size(), 200000u);
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

namespace {
// A random schedule around 2024-05-03 and random day counting settings: dates on both sides of
// the days tried, done marks, holiday modes, nested folders.
void WriteRandomPlan(std::mt19937& rng, const TTempDir& dir) {
    auto pick = [&](int n) { return static_cast<int>(rng() % unsigned(n)); };
    auto date = [&](std::string& line, TDate day) {
        int y, m, d;
        DecodeDate(day, y, m, d);
        line += day == 0 ? "|-|-|-" : "|" + std::to_string(y) + "|" + std::to_string(m) + "|" + std::to_string(d);
    };
    std::string plan = "D|2024|5|3\nA-\n{\n";
    int depth = 0;
    const int items = 1 + pick(40);
    for (int i = 0; i < items; ++i) {
        if (depth < 3 && pick(6) == 0) {
            plan += "F|folder " + std::to_string(i) + "||" + (pick(2) ? "+" : "-") + "\n{\n";
            ++depth;
        } else if (depth > 0 && pick(6) == 0) {
            plan += "}\n";
            --depth;
        }
        std::string line =
            "I|" + (pick(3) ? "to-do " + std::to_string(i) : Utf8ToCp932Lossy("予定ソ表" + std::to_string(i)));
        line += pick(6) == 0 ? "|1" : "|0";
        const TDate begin = pick(4) == 0 ? 0 : D(2024, 5, 3) + pick(40) - 20;
        date(line, begin);
        date(line, pick(5) == 0 ? 0 : (begin ? begin : D(2024, 5, 3) - 10) + pick(16) - (pick(8) == 0 ? 8 : 0));
        plan += line + "|" + std::to_string(pick(3)) + "|\n";
    }
    for (; depth >= 0; --depth)
        plan += "}\n";
    WriteFile(dir.File("plan.qlp"), Tabs(plan));
    std::string ini = "[DateCount]\r\nHolidayLv=" + std::to_string(pick(3)) +
                      "\r\nAlertCount=" + std::to_string(pick(8)) + "\r\n[Holidays]\r\n";
    for (const char* day : {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"})
        ini += std::string(day) + "=" + std::to_string(pick(3)) + "\r\n";
    WriteFile(dir.File("quillo.ini"), ini);
    std::string holidays;
    for (int i = 0; i < 6; ++i) {
        int y, m, d;
        DecodeDate(D(2024, 5, 3) + pick(30) - 15, y, m, d);
        holidays += std::to_string(y) + "\t" + std::to_string(m) + "\t" + std::to_string(d) + "\t" +
                    std::to_string(pick(3)) + "\r\n";
    }
    WriteFile(dir.File("quillo.hld"), holidays);
}
} // namespace

TEST(Cli, AlertsAgreeWithTheStatesThatListShows) {
    std::mt19937 rng(29);
    int withAlerts = 0, without = 0;
    for (int round = 0; round < 40; ++round) {
        TTempDir dir;
        WriteRandomPlan(rng, dir);
        for (const char* today : {"2024-03-01", "2024-04-20", "2024-05-03", "2024/05/04", "2024-05-13"}) {
            const std::vector<std::string> options = {"--today", today, "--config-dir", dir.Path(), "--tsv"};
            std::vector<std::string> args = {"list", dir.File("plan.qlp")};
            args.insert(args.end(), options.begin(), options.end());
            TRun list = Cli(args);
            ASSERT_EQ(list.Code, ceOk) << list.Err;
            args[0] = "alerts";
            TRun alerts = Cli(args);
            // The to-do rows in caution or warning, as alerts words them: state, name, end, information.
            std::string expected;
            for (const std::string_view row : SplitLines(list.Out)) {
                const std::vector<std::string_view> f = SplitFields(row);
                if (f.size() < 8 || f[1] != "I" || (f[7] != "4" && f[7] != "5")) continue;
                expected += std::string(f[7] == "4" ? "注意" : "警告") + "\t" + std::string(f[3]) + "\t" +
                            std::string(f[5]) + "\t" + std::string(f[6]) + "\n";
            }
            EXPECT_EQ(alerts.Out, expected) << "round " << round << " on " << today;
            EXPECT_EQ(alerts.Code, expected.empty() ? ceOk : ceAlerts) << alerts.Err;
            (expected.empty() ? without : withAlerts)++;
        }
    }
    EXPECT_GT(withAlerts, 20); // both outcomes were tried
    EXPECT_GT(without, 5);
}

TEST(Cli, AlertsSaySomethingOnlyWhenSomethingIsDue) {
    TTempDir config;
    std::string err;
    const std::string options = " --config-dir " + config.Path();
    EXPECT_EQ(RunBinary("alerts " + Data("roundtrip.qlp") + " --today 2024-06-20" + options, err), ceAlerts);
    EXPECT_EQ(err, "");
    TRun due = Cli({"alerts", Data("roundtrip.qlp"), "--today", "2024/06/20", "--config-dir", config.Path()});
    EXPECT_EQ(due.Out, "遅延 1件\n  警告  報告書ソ表  2024/05/10(金)  遅延\n");
    TRun calm = Shell(kCli + " alerts - --today 2024-05-03" + options + " < " + Data("roundtrip.qlp"));
    EXPECT_EQ(calm.Code, ceOk) << calm.Err;
    EXPECT_EQ(calm.Out, ""); // a timer's mail stays empty
    EXPECT_EQ(RunBinary("alerts " + Data("bad_date.qlp") + options, err), ceBadLine);
    EXPECT_EQ(Cli({"alerts", Data("roundtrip.qlp"), "--date", "2024-05-03"}).Code, ceUsage);
}
