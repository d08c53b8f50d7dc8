// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/ProgramEntry.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    return quillo::RunProgram(app, std::vector<std::string>(argv + 1, argv + argc));
}
