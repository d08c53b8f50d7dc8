// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/PrintPdfArgs.h"

#include "model/PrintRows.h"

#include <charconv>

namespace quillo {

namespace {
constexpr const char* kPrintPdf = "--print-pdf";

bool Named(const std::string& arg, const char* name) {
    const std::string n(name);
    return arg == n || arg.rfind(n + "=", 0) == 0;
}
} // namespace

bool WantsPrintPdf(const std::vector<std::string>& args) {
    for (const std::string& a : args) {
        if (a == "--") break;
        if (Named(a, kPrintPdf)) return true;
    }
    return false;
}

TPrintPdfArgs ParsePrintPdfArgs(const std::vector<std::string>& args) {
    TPrintPdfArgs r;
    bool output = false, options = true;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](const char* name) {
            if (a.size() > std::string(name).size()) return a.substr(std::string(name).size() + 1);
            if (i + 1 >= args.size()) throw EPrintPdfUsage(std::string(name) + " needs a value");
            return args[++i];
        };
        if (options && a == "--") {
            options = false;
        } else if (options && Named(a, kPrintPdf)) {
            r.Output = value(kPrintPdf);
            output = true;
        } else if (options && Named(a, "--from")) {
            const std::string text = value("--from");
            TDate d;
            if (!TryParseOptionDate(text, d))
                throw EPrintPdfUsage("--from wants a date YYYY-MM-DD or YYYY/MM/DD: " + text);
            r.From = d;
        } else if (options && Named(a, "--days")) {
            const std::string text = value("--days");
            int n = 0;
            const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
            if (ec != std::errc() || end != text.data() + text.size() || n < 1 || n > kMaxPrintDays)
                throw EPrintPdfUsage("--days wants a number from 1 to " + std::to_string(kMaxPrintDays) + ": " + text);
            r.Days = n;
        } else if (options && a == "--expand-all") {
            r.AllOpen = true;
        } else if (options && a == "--legible") {
            r.Legible = true;
        } else if (options && a.size() > 1 && a[0] == '-') {
            throw EPrintPdfUsage("unknown option: " + a);
        } else if (r.File.empty()) {
            r.File = a;
        } else {
            throw EPrintPdfUsage("more than one file given");
        }
    }
    if (!output || r.Output.empty()) throw EPrintPdfUsage("--print-pdf needs the name of the PDF to write");
    if (r.File.empty()) throw EPrintPdfUsage("missing FILE, the schedule to print");
    if (r.From && *r.From + r.Days - 1 > kLastItemDate)
        throw EPrintPdfUsage("the days printed would run past 9999/12/31");
    return r;
}

} // namespace quillo
