// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The repeat mark of an information column: a third mark after the memo and the link marks, on
// a to-do that carries a recurrence rule, with the rule in words as its hint.
#include <QIcon>
#include <QRect>
#include <string>

class QPainter;

namespace quillo {

class TSchItem;

constexpr int kRepeatMarkLeft = 32; // after the memo and link marks, 16 pixels each
constexpr int kRepeatMarkWidth = 16;

// Two arrows chasing each other round; grey for a rule the program does not understand.
const QIcon& RepeatMarkImage(bool understood);
// Paints the mark into an information cell when the item carries a rule.
void PaintRepeatMark(QPainter* painter, const QRect& cell, const TSchItem& item);
// Whether `offset` pixels from the cell's left edge lie on the mark of an item that has one.
bool OnRepeatMark(int offset, const TSchItem& item);
// The mark's hint ("short|long"), e.g. "繰り返し：毎週|…"; empty without a rule.
std::string RepeatMarkHint(const TSchItem& item);

} // namespace quillo
