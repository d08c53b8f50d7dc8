// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's command line: switches start with "-" or "/", the first other argument is
// the schedule; everything after it is ignored.
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

} // namespace quillo
