// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a printed chart shows, taken from the schedule in one go. Nothing in it points into the
// tree, so its pages can be painted again (a preview on other paper) whatever the schedule does
// meanwhile, and taking it changes nothing in the schedule.
#include "main/ChartPaint.h"
#include "model/PrintRows.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace quillo {

class TDocument;

struct TPrintedRow {
    int Level = 0;
    int Image = 0;
    QString Name;
    QString Texts[3]; // begin, end, information
    TInfoMarks Marks;
};

struct TPrintContent {
    QString Title;
    QString Printed; // when it was printed, in words
    TDate Today = 0;
    TDate From = 0;
    int Days = 0;
    std::vector<int8_t> Levels; // of each day
    std::vector<TPrintedRow> Rows;
    std::vector<int8_t> Cells; // Days to a row

    int Cell(size_t row, int day) const { return Cells[row * size_t(Days) + size_t(day)]; }
};

// The document's rows as `choice` asks, evaluated for the day of `ctx`; `now` is the print's time.
TPrintContent CollectPrintContent(const TDocument& document, const TEvalContext& ctx, const TPrintChoice& choice,
                                  TDate now);

} // namespace quillo
