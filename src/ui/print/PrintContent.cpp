// SPDX-License-Identifier: GPL-3.0-or-later
#include "print/PrintContent.h"

#include "base/Cp932.h"
#include "model/Calendar.h"
#include "model/Document.h"
#include "model/SchItem.h"
#include "model/StateEval.h"

namespace quillo {

TPrintContent CollectPrintContent(const TDocument& document, const TEvalContext& ctx, const TPrintChoice& choice,
                                  TDate now) {
    TPrintContent c;
    c.Title = QString::fromStdString(document.Title);
    c.Printed = QString::fromStdString("印刷 " + FormatDateWithDay(DateOf(now)) + " " + FormatTime(now).substr(0, 5));
    c.Today = ctx.Today;
    c.From = choice.From;
    c.Days = choice.Days;
    for (int i = 0; i < c.Days; ++i)
        c.Levels.push_back(static_cast<int8_t>(ctx.Calendar->LevelOfDate(c.From + i)));
    const std::vector<TPrintRowRef> rows = PrintRows(document.Nodes(), choice.AllOpen);
    c.Cells = PrintDayCells(ctx, rows, c.From, c.Days);
    c.Rows.reserve(rows.size());
    std::string texts[3];
    for (const TPrintRowRef& r : rows) {
        TPrintedRow row;
        row.Level = r.Node->Level();
        row.Image = r.Node->ImageIndex();
        row.Name = QString::fromStdString(Cp932ToUtf8(r.Node->Text()));
        for (std::string& t : texts)
            t.clear();
        RowTexts(ctx, r.Node, texts, r.Open);
        for (int k = 0; k < 3; ++k)
            row.Texts[k] = QString::fromStdString(texts[k]);
        if (const TSchItem* item = r.Node->Data(); item && r.Node->Parent()) row.Marks = InfoMarksOf(*item);
        c.Rows.push_back(std::move(row));
    }
    return c;
}

} // namespace quillo
