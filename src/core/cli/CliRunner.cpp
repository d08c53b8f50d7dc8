// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliRunner.h"

#include "base/Clock.h"
#include "base/Cp932.h"
#include "base/Exceptions.h"
#include "base/FileNames.h"
#include "base/SafeFile.h"
#include "base/StrUtil.h"
#include "edit/ICalendar.h"
#include "model/Calendar.h"
#include "model/Chart.h"
#include "model/DayList.h"
#include "model/Document.h"
#include "model/NodesIF.h"
#include "model/SchItem.h"
#include "model/ScheduleFormat.h"
#include "model/StateEval.h"
#include "settings/ConfigPaths.h"
#include "settings/RegManager.h"
#include "settings/Settings.h"

#include <algorithm>
#include <map>
#include <optional>
#include <ostream>

namespace quillo {

namespace {

const char* const kUsage =
    "usage: quillo-cli check FILE\n"
    "       quillo-cli list FILE [--today YYYY-MM-DD] [--chart-date YYYY-MM-DD] [--config-dir DIR] [--tsv]\n"
    "       quillo-cli agenda FILE [--date YYYY-MM-DD] [--today YYYY-MM-DD] [--config-dir DIR] [--tsv]\n"
    "       quillo-cli export FILE --ics [--today YYYY-MM-DD] [--config-dir DIR]\n"
    "\n"
    "check   exit 0 when every line of FILE reads, 1 with the first bad line's message, 2 when FILE cannot\n"
    "        be read or is not a schedule\n"
    "list    the schedule as the main window shows it after opening\n"
    "agenda  the day schedule of --date (default: today)\n"
    "export  the schedule as iCalendar to-dos on standard output\n"
    "Settings and holidays come from quillo.ini and quillo.hld of the desktop program (read only).\n";

constexpr int kMaxIndentLevels = 40;

struct TOptions {
    std::string Command, File;
    std::map<std::string, std::string> Values;
    bool Tsv = false;
    bool Ics = false;
};

class EUsage : public std::runtime_error {
    using std::runtime_error::runtime_error;
};

TOptions Parse(const std::vector<std::string>& args) {
    TOptions o;
    if (args.empty()) throw EUsage("missing command");
    o.Command = args[0];
    if (o.Command != "check" && o.Command != "list" && o.Command != "agenda" && o.Command != "export")
        throw EUsage("unknown command: " + o.Command);
    std::vector<std::string> allowed;
    if (o.Command == "list") allowed = {"--today", "--chart-date", "--config-dir"};
    if (o.Command == "agenda") allowed = {"--date", "--today", "--config-dir"};
    if (o.Command == "export") allowed = {"--today", "--config-dir"};
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--tsv" && (o.Command == "list" || o.Command == "agenda")) {
            o.Tsv = true;
        } else if (a == "--ics" && o.Command == "export") {
            o.Ics = true;
        } else if (a.rfind("--", 0) == 0) {
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
        } else if (o.File.empty()) {
            o.File = a;
        } else {
            throw EUsage("more than one file given");
        }
    }
    if (o.File.empty()) throw EUsage("missing FILE");
    if (o.Command == "export" && !o.Ics) throw EUsage("export needs a format: --ics");
    return o;
}

std::optional<TDate> DateOption(const TOptions& o, const std::string& name) {
    auto it = o.Values.find(name);
    if (it == o.Values.end()) return std::nullopt;
    TDate d;
    if (!TryParseIsoDate(it->second, d)) throw EUsage(name + " wants a date YYYY-MM-DD: " + it->second);
    return d;
}

std::string Terminal(const std::string& message) {
    return ReplaceAll(message, "\r\n", "\n");
}

struct TSession {
    TCalendar Calendar;
    TChart Chart{Calendar};
    TEvalContext Ctx;
    TDocument Document;
};

// Reads FILE as the window opens it; returns an exit code, or -1 when every line was read.
int Open(TDocument& document, const std::string& file, const TEvalContext* ctx, std::ostream& err) {
    document.FileName = file;
    try {
        TDocument::TLoadResult r = document.Load(ctx);
        if (!r.Complete) {
            err << r.BadLine << "\n";
            return ceBadLine;
        }
    } catch (const ELoadError& e) {
        err << Terminal(e.what()) << "\n";
        return ceUnreadable;
    }
    return -1;
}

// What a command reads of the evaluated schedule.
enum TNeeds { nStates, nRowsWithoutTexts, nEverything };

// Loads settings, holidays and the schedule as the window would; returns an exit code or -1.
// A day's agenda reads states only; a listing writes the column texts as it goes.
int Load(const TOptions& o, const TClock& clock, TSession& s, std::ostream& err, TNeeds needs) {
    const TDate today = DateOption(o, "--today").value_or(clock.Today());
    auto chartOpt = DateOption(o, "--chart-date");
    std::string dir = o.Values.count("--config-dir") ? o.Values.at("--config-dir") : ConfigDirectory();
    TRegManager store(nullptr);
    AddMainSettingsItems(store.RegItems);
    store.IniFileName = SettingsFileIn(dir);
    int offset = kDefaultChartOffset;
    ReadCalendarSettings(store, s.Calendar, offset);
    std::string error;
    if (!s.Calendar.LoadHolidaysFile(HolidaysFileIn(dir), error)) {
        err << HolidaysFileIn(dir) << ": " << error << "\n";
        return ceUnreadable;
    }
    s.Chart.SetChartDate(chartOpt.value_or(today + offset));
    s.Ctx = {today, &s.Calendar, &s.Chart};
    const int rc = Open(s.Document, o.File, needs == nEverything ? &s.Ctx : nullptr, err);
    if (rc < 0 && needs == nStates) EvaluateStates(s.Ctx, s.Document.Nodes());
    if (rc < 0 && needs == nRowsWithoutTexts) FinishScheduleLoad(s.Document.Nodes(), s.Ctx, false);
    return rc;
}

int Check(const TOptions& o, std::ostream& err, const std::function<void(int)>& finished) {
    TDocument document;
    int rc = Open(document, o.File, nullptr, err);
    rc = rc < 0 ? ceOk : rc;
    if (finished) finished(rc);
    return rc;
}

const char* KindOf(const TTreeNode* n) {
    const TSchItem* item = n->Data();
    return !item ? "R" : item->IsFolder() ? "F" : "I";
}

void List(TSession& s, bool tsv, std::ostream& out) {
    std::string line;
    std::string texts[3];
    for (TTreeNode* n = s.Document.Root(); n; n = n->GetNext()) {
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

} // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const TClock& clock,
           const std::function<void(int)>& finished) {
    for (const auto& a : args)
        if (a == "--help" || a == "-h") {
            out << kUsage;
            return ceOk;
        }
    try {
        TOptions o = Parse(args);
        if (o.Command == "check") return Check(o, err, finished);
        TSession s;
        const TNeeds needs = o.Command == "agenda" ? nStates : o.Command == "list" ? nRowsWithoutTexts : nEverything;
        if (int rc = Load(o, clock, s, err, needs); rc >= 0) return rc;
        if (o.Command == "export") {
            const std::string identity = ExpandLongPath(o.File);
            const auto today = DateOption(o, "--today");
            out << ScheduleToICalendar(s.Document.Nodes(), identity.empty() ? o.File : identity,
                                       today ? *today : clock.Now());
        } else if (o.Command == "list")
            List(s, o.Tsv, out);
        else
            Agenda(s, DateOption(o, "--date").value_or(s.Ctx.Today), o.Tsv, out);
        if (finished) finished(ceOk);
        return ceOk;
    } catch (const EUsage& e) {
        err << "quillo-cli: " << e.what() << "\n" << kUsage;
        return ceUsage;
    }
}

} // namespace quillo
