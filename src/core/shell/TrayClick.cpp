// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/TrayClick.h"

#include "base/Cp932.h"

namespace quillo {

void TTrayClickTracker::ButtonDown(TTrayButton button) {
    mDown[button] = true;
}

void TTrayClickTracker::ButtonUp(TTrayButton button) {
    if (!CheckSingleDoubleClick) {
        Report(button);
        return;
    }
    if (mClickPending) return;
    mClickPending = true;
    if (StartTimer) StartTimer();
}

void TTrayClickTracker::DoubleClick(TTrayButton button) {
    mClickPending = false;
    mDown[button] = false;
    if (OnSecondDown) OnSecondDown(button);
}

void TTrayClickTracker::TimerFired() {
    if (!mClickPending) return;
    mClickPending = false;
    const TTrayButton button = mDown[tbLeft] ? tbLeft : mDown[tbRight] ? tbRight : tbMiddle;
    Report(button);
}

void TTrayClickTracker::Report(TTrayButton button) {
    if (!mDown[button]) return;
    mDown[button] = false;
    if (OnClick) OnClick(button);
}

namespace {
size_t Utf8CharLength(unsigned char c) {
    if (c < 0x80) return 1;
    if ((c & 0xE0) == 0xC0) return 2;
    if ((c & 0xF0) == 0xE0) return 3;
    if ((c & 0xF8) == 0xF0) return 4;
    return 1;
}
} // namespace

std::string CutTipText(std::string_view utf8, size_t maxBytes) {
    size_t used = 0, pos = 0;
    while (pos < utf8.size()) {
        const size_t len = std::min(Utf8CharLength(static_cast<unsigned char>(utf8[pos])), utf8.size() - pos);
        const auto encoded = Utf8ToCp932(utf8.substr(pos, len));
        const size_t bytes = encoded ? encoded->size() : 1; // shown as "?" where the code page lacks it
        if (used + bytes > maxBytes) break;
        used += bytes;
        pos += len;
    }
    return std::string(utf8.substr(0, pos));
}

} // namespace quillo
