// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Tells a single click on the tray icon from a double click. The tray reports presses, releases
// and double clicks; a single click is reported only when no double click followed within the
// desktop's double-click time, so the owner never acts on both.
#include <functional>
#include <string>
#include <string_view>

namespace quillo {

enum TTrayButton { tbLeft = 0, tbRight = 1, tbMiddle = 2 };

class TTrayClickTracker {
public:
    bool CheckSingleDoubleClick = true;

    std::function<void(TTrayButton)> OnClick;      // a single click, decided
    std::function<void(TTrayButton)> OnSecondDown; // the press that made a double click
    std::function<void()> StartTimer;              // one double-click time from now, call TimerFired

    void ButtonDown(TTrayButton button);
    void ButtonUp(TTrayButton button);
    void DoubleClick(TTrayButton button);
    void TimerFired();

    bool ClickPending() const { return mClickPending; }

private:
    void Report(TTrayButton button);
    bool mDown[3] = {};
    bool mClickPending = false;
};

// The tray tip as the tray record holds it: at most `maxBytes` bytes in the program's code page,
// cut before a character that would not fit whole.
std::string CutTipText(std::string_view utf8, size_t maxBytes = 127);

} // namespace quillo
