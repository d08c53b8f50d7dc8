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

constexpr int kRepeatMarkWidth = 16;
// The first of the three 16-pixel places that the memo and link marks leave free: packed to the
// left, so that the remaining days text at the column's right is not covered.
int RepeatMarkSlot(bool memo, bool link);

// Two arrows chasing each other round; grey for a rule the program does not understand.
const QIcon& RepeatMarkImage(bool understood);
// Whether `offset` pixels from the cell's left edge lie on the mark of an item that has one.
bool OnRepeatMark(int offset, const TSchItem& item);
// The mark's hint ("short|long"), e.g. "繰り返し：毎週|…"; empty without a rule.
std::string RepeatMarkHint(const TSchItem& item);

} // namespace quillo
