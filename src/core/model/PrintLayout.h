// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How a printed chart is cut into pages: the rows into strips as tall as a page holds, never a row
// cut in two, and the days into bands as wide as a page holds beside the name columns, which every
// page repeats, as it repeats the day header. All lengths are in the printer's units.
#include <vector>

namespace quillo {

struct TPageGeometry {
    int Width = 0; // the printable area
    int Height = 0;
    int Header = 0;          // the title line and the day header, at the top of every page
    int Footer = 0;          // the page number, at the bottom of every page
    int NameColumns = 0;     // the name and the three text columns, at the left of every page
    double LegibleDay = 0;   // a day's width when the days keep their width
    double NarrowestDay = 0; // fitting the days to the width goes no narrower than this
    double WidestDay = 0;    // and no wider than this (0: as wide as the page gives)
};

struct TPrintPage {
    int FirstRow = 0;
    int Rows = 0;
    int FirstDay = 0;
    int Days = 0;
};

struct TRun {
    int First = 0;
    int Count = 0;
};

struct TPageLayout {
    double DayWidth = 0;
    std::vector<TRun> Strips;      // rows, top to bottom
    std::vector<TRun> Bands;       // days, left to right
    std::vector<TPrintPage> Pages; // each strip across all its bands, then the next strip
};

// `rowHeights` top to bottom. A row taller than a page's body gets a page of its own (clipped there).
// With `fitWidth` the days share the width beside the name columns, between NarrowestDay and
// WidestDay; days that would be narrower keep NarrowestDay and go on to further pages across, as
// days of LegibleDay do without it.
TPageLayout LayOutPages(const std::vector<int>& rowHeights, int days, const TPageGeometry& page, bool fitWidth);

} // namespace quillo
