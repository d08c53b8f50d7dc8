// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/CommandLine.h"

#include "base/FileNames.h"

namespace quillo {

bool IsSwitch(const std::string& arg) {
    if (arg.empty()) return false;
    if (arg[0] == '-') return true;
    if (arg[0] != '/') return false;
    return arg.find('/', 1) == std::string::npos && !IsRegularFile(arg);
}

TCommandLine ParseCommandLine(const std::vector<std::string>& args) {
    TCommandLine c;
    c.HasArguments = !args.empty();
    for (const std::string& a : args) {
        if (IsSwitch(a)) {
            if (a.size() == 2 && (a[1] == 't' || a[1] == 'T')) c.TraySwitch = true;
            continue;
        }
        if (!c.File) c.File = a;
    }
    // Switches after the file still count; other arguments after it are ignored.
    return c;
}

} // namespace quillo
