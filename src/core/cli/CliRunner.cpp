// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliRunner.h"

#include "base/Clock.h"
#include "base/Cp932.h"
#include "base/Exceptions.h"
#include "base/FileNames.h"
#include "base/SafeFile.h"
#include "base/StrUtil.h"
#include "cli/ListFilter.h"
#include "edit/ICalendar.h"
#include "model/Alerts.h"
#include "model/Calendar.h"
#include "model/Chart.h"
#include "model/DayList.h"
#include "model/Document.h"
#include "model/NodesIF.h"
#include "model/SchItem.h"
#include "model/ScheduleFormat.h"
#include "model/StateEval.h"
#include "settings/ConfigPaths.h"
#include "settings/Settings.h"
#include "shell/CommandLine.h"

#include <algorithm>
#include <map>
#include <optional>
#include <ostream>

namespace quillo {

namespace {

const char* const kUsage =
    "usage: quillo-cli check FILE\n"
    "       quillo-cli list FILE [--today DATE] [--chart-date DATE] [--config-dir DIR] [--title TITLE] [--tsv]\n"
    "                      [--grep TEXT] [--kana] [--state all|open|progress|alert|day [--date DATE]]\n"
    "       quillo-cli agenda FILE [--date DATE] [--today DATE] [--config-dir DIR] [--tsv]\n"
    "       quillo-cli alerts FILE [--today DATE] [--config-dir DIR] [--title TITLE] [--tsv]\n"
    "       quillo-cli export FILE --ics [--today DATE] [--config-dir DIR] [--title TITLE]\n"
    "       quillo-cli --help | --version\n"
    "\n"
    "check   exit 0 when every line of FILE reads, 1 with the first bad line's message, 2 when FILE cannot\n"
    "        be read or is not a schedule\n"
    "list    the schedule as the main window shows it after opening; with --grep or --state only the rows\n"
    "        the find bar shows: those whose name, memo or link holds TEXT (width and case aside; with --kana\n"
    "        hiragana and katakana alike) and that are in STATE (open: not done; alert: caution or warning;\n"
    "        day: to-dos on --date, default today), with the folders they are in\n"
    "agenda  the day schedule of --date (default: today)\n"
    "alerts  the to-dos in caution or warning today, as the desktop reminds of them; nothing at all and\n"
    "        exit 0 when there are none, exit 3 when there are some\n"
    "export  the schedule as iCalendar to-dos on standard output\n"
    "\n"
    "FILE \"-\" reads the schedule from standard input; \"--\" ends the options. A DATE is YYYY-MM-DD or\n"
    "YYYY/MM/DD. --title names the schedule read from standard input (a file's title is its name).\n"
    "Settings and holidays come from quillo.ini and quillo.hld of the desktop program (read only).\n"
    "Exit status: 0 done, 1 a bad line, 2 FILE unreadable or not a schedule, 3 alerts listed,\n"
    "64 wrong usage, 74 standard output could not be written.\n";

constexpr int kMaxIndentLevels = 40;
constexpr const char* kStdinName = "(standard input)";

struct TOptions {
    std::string Command, File;
    std::map<std::string, std::string> Values;
    bool Tsv = false;
    bool Ics = false;
    bool Kana = false;
};

class EUsage : public std::runtime_error {
    using std::runtime_error::runtime_error;
};

TOptions Parse(const std::vector<std::string>& args) {
    TOptions o;
    if (args.empty()) throw EUsage("missing command");
    o.Command = args[0];
    if (o.Command != "check" && o.Command != "list" && o.Command != "agenda" && o.Command != "alerts" &&
        o.Command != "export")
        throw EUsage("unknown command: " + o.Command);
    std::vector<std::string> allowed;
    if (o.Command == "list")
        allowed = {"--today", "--chart-date", "--config-dir", "--title", "--grep", "--state", "--date"};
    if (o.Command == "agenda") allowed = {"--date", "--today", "--config-dir"};
    if (o.Command == "alerts") allowed = {"--today", "--config-dir", "--title"};
    if (o.Command == "export") allowed = {"--today", "--config-dir", "--title"};
    bool options = true;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (options && a == "--") {
            options = false;
        } else if (options && a == "--tsv" && (o.Command == "list" || o.Command == "agenda" || o.Command == "alerts")) {
            o.Tsv = true;
        } else if (options && a == "--ics" && o.Command == "export") {
            o.Ics = true;
        } else if (options && a == "--kana" && o.Command == "list") {
            o.Kana = true;
        } else if (options && a.rfind("--", 0) == 0) {
            std::string name = a, value;
            if (size_t eq = a.find('='); eq != std::string::npos) {
                name = a.substr(0, eq);
                value = a.substr(eq + 1);
            } else if (i + 1 < args.size()) {
                value = args[++i];
            } else {
                throw EUsage(a + " needs a value");
            }
            bool known = false;
            for (const auto& n : allowed)
                known = known || n == name;
            if (!known) throw EUsage("unknown option: " + name);
            o.Values[name] = value;
        } else if (options && a.size() > 1 && a[0] == '-') {
            throw EUsage("unknown option: " + a);
        } else if (o.File.empty()) {
            o.File = a;
        } else {
            throw EUsage("more than one file given");
        }
    }
    if (o.File.empty()) throw EUsage("missing FILE");
    if (o.Command == "export" && !o.Ics) throw EUsage("export needs a format: --ics");
    if (o.Command == "list") {
        if (std::string error = ListQueryOf(o.Values, o.Kana, 0).Error; !error.empty()) throw EUsage(error);
    }
    return o;
}

std::optional<TDate> DateOption(const TOptions& o, const std::string& name) {
    auto it = o.Values.find(name);
    if (it == o.Values.end()) return std::nullopt;
    TDate d;
    if (!TryParseOptionDate(it->second, d))
        throw EUsage(name + " wants a date YYYY-MM-DD or YYYY/MM/DD: " + it->second);
    return d;
}

void Fail(std::ostream& err, const std::string& message) {
    err << "quillo-cli: " << message << "\n";
}

// The program's messages break lines for a box; a terminal message is one line.
std::string OneLine(const std::string& message) {
    return ReplaceAll(message, "\r\n", ": ");
}

struct TSession {
    TCalendar Calendar;
    TChart Chart{Calendar};
    TEvalContext Ctx;
    TDocument Document;
};

// Reads FILE, or standard input for "-", as the window opens a file; returns an exit code, or -1
// when every line was read.
int Open(TDocument& document, const TOptions& o, int in, const TEvalContext* ctx, std::ostream& err) {
    const bool fromStdin = o.File == "-";
    document.FileName = fromStdin ? kStdinName : o.File;
    std::string text, error;
    if (!(fromStdin ? ReadStream(in, text, error) : ReadWholeFile(o.File, text, error))) {
        Fail(err, document.FileName + ": " + error);
        return ceUnreadable;
    }
    const auto title = o.Values.find("--title");
    try {
        TDocument::TLoadResult r = document.LoadText(text,
                                                     title != o.Values.end() ? title->second
                                                     : fromStdin             ? kNewScheduleTitle
                                                                             : ScheduleTitleOf(o.File),
                                                     ctx);
        if (!r.Complete) {
            Fail(err, document.FileName + ": " + OneLine(r.BadLine));
            return ceBadLine;
        }
    } catch (const ELoadError& e) {
        Fail(err, OneLine(e.what()));
        return ceUnreadable;
    }
    return -1;
}

// What a command reads of the evaluated schedule.
enum TNeeds { nNothing, nStates, nRowsWithoutTexts, nEverything };

// Loads settings, holidays and the schedule as the window would; returns an exit code or -1.
// A day's agenda reads states only; a listing writes the column texts as it goes.
int Load(const TOptions& o, int in, const TClock& clock, TSession& s, std::ostream& err, TNeeds needs) {
    const TDate today = DateOption(o, "--today").value_or(clock.Today());
    auto chartOpt = DateOption(o, "--chart-date");
    std::string dir = o.Values.count("--config-dir") ? o.Values.at("--config-dir") : ConfigDirectory();
    int offset = kDefaultChartOffset;
    std::string error;
    if (!ReadCalendarFiles(dir, s.Calendar, offset, error)) {
        Fail(err, error);
        return ceUnreadable;
    }
    s.Chart.SetChartDate(chartOpt.value_or(today + offset));
    s.Ctx = {today, &s.Calendar, &s.Chart};
    const int rc = Open(s.Document, o, in, needs == nEverything ? &s.Ctx : nullptr, err);
    if (rc < 0 && needs == nStates) EvaluateStates(s.Ctx, s.Document.Nodes());
    if (rc < 0 && needs == nRowsWithoutTexts) FinishScheduleLoad(s.Document.Nodes(), s.Ctx, false);
    return rc;
}

int Check(const TOptions& o, int in, std::ostream& err, const std::function<void(int)>& finished) {
    TDocument document;
    int rc = Open(document, o, in, nullptr, err);
    rc = rc < 0 ? ceOk : rc;
    if (finished) finished(rc);
    return rc;
}

const char* KindOf(const TTreeNode* n) {
    const TSchItem* item = n->Data();
    return !item ? "R" : item->IsFolder() ? "F" : "I";
}

// `rows`, when given, are the rows of a find filter; else every row.
void List(TSession& s, bool tsv, std::ostream& out, const std::optional<std::vector<TShownRow>>& rows) {
    std::string line;
    std::string texts[3];
    size_t row = 0;
    auto next = [&](TTreeNode* n) -> TTreeNode* {
        if (!rows) return n->GetNext();
        return ++row < rows->size() ? (*rows)[row].Node : nullptr;
    };
    TTreeNode* first = !rows ? s.Document.Root() : rows->empty() ? nullptr : rows->front().Node;
    for (TTreeNode* n = first; n; n = next(n)) {
        const TSchItem* item = n->Data();
        for (std::string& t : texts)
            t.clear();
        RowTexts(s.Ctx, n, texts);
        const std::string name = Cp932ToUtf8(n->Text());
        if (tsv) {
            // Built as one string: 60 cells a line over 100 000 lines make stream inserts the cost.
            line.clear();
            line += std::to_string(n->Level()) + '\t' + KindOf(n) + '\t' + std::to_string(n->ImageIndex()) + '\t';
            line += name + '\t' + texts[0] + '\t' + texts[1] + '\t' + texts[2] + '\t';
            if (item) {
                line += std::to_string(item->State) + '\t';
                for (int i = 0; i < kChartDays; ++i) {
                    if (i) line += ',';
                    int v = item->GetDayCell(i);
                    if (v < 0) line += '-', v = -v;
                    line += static_cast<char>('0' + v % 10);
                }
            } else {
                line += '\t';
            }
            // Last, so that the columns before it keep their places: the recurrence rule, if any.
            line += '\t';
            if (item && !item->Repeat.empty()) line += Cp932ToUtf8(ReplaceAll(item->Repeat, "%25;", "%"));
            line += '\n';
            out.write(line.data(), static_cast<std::streamsize>(line.size()));
            continue;
        }
        // Deep trees would make the indentation grow with the square of the depth: past a
        // readable depth the level is written as a number instead.
        out << std::string(static_cast<size_t>(std::min(n->Level(), kMaxIndentLevels)) * 2, ' ');
        if (n->Level() > kMaxIndentLevels) out << "[" << n->Level() << "] ";
        if (!item) {
            out << name << "\n";
            continue;
        }
        out << (item->IsFolder() ? "+ " : item->Checked ? "[x] " : "[ ] ") << name;
        if (!(n->HasChildren() && n->Expanded())) out << "  (" << texts[0] << " - " << texts[1] << ")";
        if (!texts[2].empty()) out << "  " << texts[2];
        out << "\n";
    }
}

// Written as found, category by category: a day of a large schedule lists tens of thousands of
// rows, which need not all be held at once.
void Agenda(TSession& s, TDate date, bool tsv, std::ostream& out) {
    const TEvalContext& ctx = s.Ctx;
    const TDayItems items = CollectDayItems(s.Document.Nodes(), ctx, date);
    out << DayRootText(ctx, date) << "\n";
    if (!items.AnyOnDate) {
        out << (tsv ? "" : "  ") << kNoDayItemsText << "\n";
        return;
    }
    const std::vector<std::string> texts = DayCategoryTexts(ctx, date);
    std::string line;
    for (size_t c = 0; c < kDayCategories; ++c) {
        if (items.ByCategory[c].empty()) continue;
        if (!tsv) out << "  " << texts[c] << "\n";
        for (const TSchItem* item : items.ByCategory[c]) {
            const int image = item->Node ? item->Node->ImageIndex() : 0;
            line.clear();
            if (tsv)
                line += texts[c] + '\t' + std::to_string(image) + '\t' + Cp932ToUtf8(item->Name) + '\t' +
                        DateText(item->EndDate) + '\t' + DayRemainingText(*item, ctx, date) + '\n';
            else
                line += "    " + Cp932ToUtf8(item->Name) + "  " + DateText(item->EndDate) + "  " +
                        DayRemainingText(*item, ctx, date) + "\n";
            out.write(line.data(), static_cast<std::streamsize>(line.size()));
        }
    }
}

// Tree order, as `list` shows the rows; a summary line first unless the output is for a program.
// Nothing at all when nothing is due, so that a timer's mail stays empty.
bool Alerts(TSession& s, bool tsv, std::ostream& out) {
    const std::vector<TAlert> alerts = CollectAlerts(s.Document.Nodes(), s.Ctx);
    if (alerts.empty()) return false;
    int warnings = 0;
    for (const TAlert& a : alerts)
        warnings += a.State == ssWarning;
    if (!tsv) out << AlertSummary(warnings, static_cast<int>(alerts.size()) - warnings) << "\n";
    std::string line;
    for (const TAlert& a : alerts) {
        const char* gap = tsv ? "\t" : "  ";
        line = tsv ? "" : "  ";
        line += StateWord(a.State) + (gap + Cp932ToUtf8(a.Item->Name)) + gap + DateText(a.Item->EndDate) + gap +
                ToDoInfoText(s.Ctx, *a.Item, a.State) + '\n';
        out.write(line.data(), static_cast<std::streamsize>(line.size()));
    }
    return true;
}

} // namespace

int RunCli(const std::vector<std::string>& args, int in, std::ostream& out, std::ostream& err, const TClock& clock,
           const std::function<void(int)>& finished) {
    // Whatever was written, a failed write to standard output is the result.
    auto written = [&](int rc) {
        if (!FlushOutput(out, err, "quillo-cli")) rc = ceOutputFailed;
        if (finished) finished(rc);
        return rc;
    };
    for (const auto& a : args) {
        if (a == "--") break;
        if (a == "--help" || a == "-h") {
            out << kUsage;
            return written(ceOk);
        }
        if (a == "--version" || a == "-V") {
            out << "quillo-cli (Quillory Plan) " << ProgramVersion() << "\n";
            return written(ceOk);
        }
    }
    try {
        TOptions o = Parse(args);
        if (o.Command == "check") return Check(o, in, err, finished);
        TSession s;
        const TNeeds needs = o.Command == "alerts"   ? nNothing
                             : o.Command == "agenda" ? nStates
                             : o.Command == "list"   ? nRowsWithoutTexts
                                                     : nEverything;
        if (int rc = Load(o, in, clock, s, err, needs); rc >= 0) return rc;
        if (o.Command == "export") {
            std::string identity = o.File == "-" ? s.Document.Title : ExpandLongPath(o.File);
            const auto today = DateOption(o, "--today");
            out << ScheduleToICalendar(s.Document.Nodes(), identity.empty() ? o.File : identity,
                                       today ? *today : clock.Now(), &s.Calendar);
        } else if (o.Command == "alerts") {
            return written(Alerts(s, o.Tsv, out) ? ceAlerts : ceOk);
        } else if (o.Command == "list") {
            const TDate day = DateOption(o, "--date").value_or(s.Ctx.Today); // of --state day
            List(s, o.Tsv, out, FilteredRows(s.Document, s.Ctx, ListQueryOf(o.Values, o.Kana, day).Query));
        } else
            Agenda(s, DateOption(o, "--date").value_or(s.Ctx.Today), o.Tsv, out);
        return written(ceOk);
    } catch (const EUsage& e) {
        Fail(err, e.what());
        err << kUsage;
        return ceUsage;
    }
}

} // namespace quillo
