// SPDX-License-Identifier: GPL-3.0-or-later
// Saves schedules in a separate process, so tests can kill it mid-write or inject faults.
//   save SRC DST   read SRC and save it to DST; prints the error and exits 1 on failure
//   loop DST A B   save the files A and B to DST alternately, forever
#include "base/Clock.h"
#include "base/Exceptions.h"
#include "base/SafeFile.h"
#include "model/Calendar.h"
#include "model/Chart.h"
#include "model/Document.h"
#include "model/NodesIF.h"
#include "model/ScheduleFormat.h"

#include <iostream>
#include <string>

using namespace quillo;

int main(int argc, char** argv) {
    std::string mode = argc > 1 ? argv[1] : "";
    try {
        if (mode == "save" && argc == 4) {
            TCalendar cal;
            TChart chart(cal);
            TEvalContext ctx{DefaultClock().Today(), &cal, &chart};
            TDocument document;
            document.FileName = argv[2];
            document.Load(&ctx);
            document.FileName = argv[3];
            document.Save(ctx.Today, DefaultClock());
            return 0;
        }
        if (mode == "loop" && argc == 5) {
            std::string texts[2], error;
            if (!ReadWholeFile(argv[3], texts[0], error) || !ReadWholeFile(argv[4], texts[1], error)) return 2;
            std::cout << "ready" << std::endl;
            for (unsigned long i = 0;; ++i)
                WriteScheduleFile(argv[2], texts[i % 2], false);
        }
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
    std::cerr << "usage: save SRC DST | loop DST A B\n";
    return 64;
}
