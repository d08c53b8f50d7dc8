#pragma once
// The terminal program: check, list and agenda of a schedule file.
#include <iosfwd>
#include <string>
#include <vector>

namespace quillo {

class TClock;

enum TCliExit { ceOk = 0, ceBadLine = 1, ceUnreadable = 2, ceUsage = 64 };

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const TClock& clock);

} // namespace quillo
