// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The marks of an information column, shared by the main window and the day window: the memo and
// the link mark, 16 pixels each from the cell's left, then the repeat mark.
#include <QString>
#include <functional>
#include <string>

class QPainter;
class QRect;

namespace quillo {

class TExHeader;
class TSchItem;
class TTreeList;

constexpr int kInfoMarkWidth = 16;

// One line of a memo for hints and the status bar.
std::string MemoLine(const std::string& memo);
enum EInfoMarkClick { icNone, icMemo, icLink };
// What a click `offset` pixels from the cell's left opens; a mark's edge pixels open nothing.
EInfoMarkClick InfoMarkClickAt(const TSchItem& item, int offset);
// The hint ("short|long") of the mark `offset` pixels from the cell's left; empty off a mark.
std::string InfoMarkHint(const TSchItem& item, int offset);
// The mouse at (x, y) over `tree`, whose header section `infoSection` is the information column:
// over a mark, its tooltip and the hand cursor, the long part to `status`; elsewhere neither.
void TrackInfoMarks(TTreeList& tree, TExHeader& header, int infoSection, int x, int y,
                    const std::function<void(const QString&)>& status);

} // namespace quillo
