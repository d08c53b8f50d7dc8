// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/Clock.h"
#include "base/FdOutBuf.h"
#include "cli/CliRunner.h"

#include <cstdlib>
#include <iostream>
#include <unistd.h>

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    quillo::TFdOutBuf buffer(STDOUT_FILENO);
    std::ostream out(&buffer);
    // The tree of a large schedule takes a tenth of the run to free; the process is ending anyway.
    return quillo::RunCli(args, STDIN_FILENO, out, std::cerr, quillo::DefaultClock(), [&](int rc) {
        out.flush();
        std::cerr.flush();
        std::_Exit(rc);
    });
}
