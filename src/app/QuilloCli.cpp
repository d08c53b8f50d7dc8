// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/Clock.h"
#include "cli/CliRunner.h"

#include <cstdlib>
#include <iostream>

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args(argv + 1, argv + argc);
    // The tree of a large schedule takes a tenth of the run to free; the process is ending anyway.
    return quillo::RunCli(args, std::cout, std::cerr, quillo::DefaultClock(), [](int rc) {
        std::cout.flush();
        std::cerr.flush();
        std::_Exit(rc);
    });
}
