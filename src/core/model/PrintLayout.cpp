// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/PrintLayout.h"

#include <algorithm>
#include <cmath>

namespace quillo {

TPageLayout LayOutPages(const std::vector<int>& rowHeights, int days, const TPageGeometry& page, bool fitWidth) {
    TPageLayout layout;
    days = std::max(days, 1);
    const double across = std::max(page.Width - page.NameColumns, 1);
    const double legible = std::max(page.LegibleDay, 1e-3);
    double fitted = across / days;
    if (page.WidestDay > 0) fitted = std::min(fitted, page.WidestDay);
    layout.DayWidth = fitWidth ? std::max(fitted, std::min(page.NarrowestDay, legible)) : legible;
    // A hair of tolerance, so that days that fit exactly are not pushed onto another page.
    const int perBand = std::max(1, static_cast<int>(std::floor(across / layout.DayWidth + 1e-9)));
    for (int first = 0; first < days; first += perBand)
        layout.Bands.push_back({first, std::min(perBand, days - first)});

    // Greedy filling keeps the order and gives the fewest strips.
    const long long body = std::max(page.Height - page.Header - page.Footer, 1);
    const int rows = static_cast<int>(rowHeights.size());
    for (int r = 0; r < rows;) {
        TRun strip{r, 0};
        long long used = 0;
        while (r < rows && (strip.Count == 0 || used + rowHeights[size_t(r)] <= body)) {
            used += std::max(rowHeights[size_t(r)], 0);
            ++strip.Count;
            ++r;
        }
        layout.Strips.push_back(strip);
    }
    if (layout.Strips.empty()) layout.Strips.push_back({0, 0}); // the header alone still makes a page

    for (const TRun& strip : layout.Strips)
        for (const TRun& band : layout.Bands)
            layout.Pages.push_back({strip.First, strip.Count, band.First, band.Count});
    return layout;
}

} // namespace quillo
