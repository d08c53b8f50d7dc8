// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's command line: switches start with "-" or "/", the first other argument is
// the schedule; everything after it is ignored.
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace quillo {

struct TCommandLine {
    bool HasArguments = false;
    bool TraySwitch = false;         // "-t" or "/t", either case
    std::optional<std::string> File; // an empty argument counts as a file argument
};

// On this desktop absolute paths start with "/" too: "/x" is a switch only when it holds no
// further "/" and names no existing file.
bool IsSwitch(const std::string& arg);
TCommandLine ParseCommandLine(const std::vector<std::string>& args);

const char* ProgramVersion();
// What the window program prints for "--help"/"-h" or "--version"/"-V" instead of starting;
// nothing when it should start.
std::optional<std::string> InfoSwitchText(const std::vector<std::string>& args);
// Flushes `out`; when anything could not be written, says why on `err` as
// "<program>: standard output: <reason>" and returns false.
bool FlushOutput(std::ostream& out, std::ostream& err, const char* program);

} // namespace quillo
