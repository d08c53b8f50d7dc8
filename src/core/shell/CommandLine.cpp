// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/CommandLine.h"

#include "base/FileNames.h"

#include <cerrno>
#include <cstring>
#include <ostream>

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

const char* ProgramVersion() {
    return QUILLO_VERSION;
}

std::optional<std::string> InfoSwitchText(const std::vector<std::string>& args) {
    for (const std::string& a : args) {
        if (a == "--version" || a == "-V")
            return std::string("quillo (Quillory Plan) ") + ProgramVersion() +
                   "\nLicense GPL-3.0-or-later: GNU GPL version 3 or later.\n"
                   "This is free software; there is NO WARRANTY, to the extent permitted by law.\n";
        if (a == "--help" || a == "-h")
            return std::string("usage: quillo [-t] [FILE]\n"
                               "       quillo --help | --version\n"
                               "\n"
                               "Opens the schedule FILE (a .qlp file) in the to-do planner's window; without\n"
                               "arguments, the schedule edited last. Only one copy runs at a time.\n"
                               "\n"
                               "  -t             start in the notification area (the tray)\n"
                               "  -h, --help     show this help and exit\n"
                               "  -V, --version  show the version and exit\n"
                               "\n"
                               "The terminal program quillo-cli reads schedules without a window.\n");
    }
    return std::nullopt;
}

bool FlushOutput(std::ostream& out, std::ostream& err, const char* program) {
    errno = 0;
    // pubsync rather than flush: a stream that failed earlier skips flush, and trying the pending
    // write again is what brings back the system's reason.
    const bool synced = !out.rdbuf() || out.rdbuf()->pubsync() == 0;
    const int error = errno;
    if (synced && out.good()) return true;
    err << program << ": standard output: " << (error ? std::strerror(error) : "write error") << "\n";
    err.flush();
    return false;
}

} // namespace quillo
