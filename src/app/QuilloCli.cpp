#include "base/Clock.h"
#include "cli/CliRunner.h"

#include <iostream>

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args(argv + 1, argv + argc);
    return quillo::RunCli(args, std::cout, std::cerr, quillo::DefaultClock());
}
