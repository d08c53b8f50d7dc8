// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/ProgramEntry.h"
#include "shell/CommandLine.h"

#include <QApplication>
#include <iostream>

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    // Answered without a display, a window or the single-instance lock.
    if (const auto text = quillo::InfoSwitchText(args)) {
        std::cout << *text;
        return quillo::FlushOutput(std::cout, std::cerr, "quillo") ? 0 : 1;
    }
    QApplication app(argc, argv);
    return quillo::RunProgram(app, args);
}
