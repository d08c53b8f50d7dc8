// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The terminal program: check, list, agenda, alerts and export of a schedule file.
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace quillo {

class TClock;

// ceAlerts: `alerts` listed something (a result, not a failure; a timer acts on it).
enum TCliExit { ceOk = 0, ceBadLine = 1, ceUnreadable = 2, ceAlerts = 3, ceUsage = 64, ceOutputFailed = 74 };

// `in` is the descriptor that the file name "-" reads. `finished`, when given, is called with the
// exit code once the output is written and before the schedule is freed: a process about to end
// can leave without taking the tree apart.
int RunCli(const std::vector<std::string>& args, int in, std::ostream& out, std::ostream& err, const TClock& clock,
           const std::function<void(int)>& finished = {});
// The same without standard input: "-" reads nothing.
inline int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const TClock& clock,
                  const std::function<void(int)>& finished = {}) {
    return RunCli(args, -1, out, err, clock, finished);
}

} // namespace quillo
