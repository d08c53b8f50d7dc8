// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The desktop program's command line for a PDF of the chart without a window:
//   quillo --print-pdf OUT.pdf [--from DATE] [--days N] [--expand-all] [--legible] FILE
#include "base/Date.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace quillo {

struct TPrintPdfArgs {
    std::string Output;
    std::string File;
    std::optional<TDate> From; // none: the chart's first day from the settings
    int Days = 60;
    bool AllOpen = false;
    bool Legible = false; // keep the days legible and go on to pages across
};

class EPrintPdfUsage : public std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Whether the arguments ask for a PDF rather than the window.
bool WantsPrintPdf(const std::vector<std::string>& args);
// Throws EPrintPdfUsage saying what is wrong.
TPrintPdfArgs ParsePrintPdfArgs(const std::vector<std::string>& args);

} // namespace quillo
