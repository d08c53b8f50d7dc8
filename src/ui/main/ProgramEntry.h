// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The desktop program from entry to exit: the single-instance guard, the main window, the loop.
#include <string>
#include <vector>

class QApplication;

namespace quillo {

extern const char* const kSecondInstanceText;

// `args` without the program name. Returns the process's exit status.
int RunProgram(QApplication& app, const std::vector<std::string>& args);

} // namespace quillo
