#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The tray on a private Xvfb display with a real tray host (trayer): "-t" starts in the tray, a
# click on the icon brings the window back, Esc sends it back, the tray menu shows today's
# schedule while the window stays hidden, and "終了" ends the program. Then, with no tray host,
# Esc must leave the window on screen.
set -euo pipefail
program="$(realpath "$1")"
. "$(dirname "$0")/xvfb-common.sh"
work="$(mktemp -d)"
mkdir -p "$work/config" "$work/runtime"
chmod 700 "$work/runtime"
xvfb_start
trap 'kill $xvfb ${tray:-} 2>/dev/null || true; rm -rf "$work"' EXIT
export DISPLAY="$display"
fail() { echo "xvfb-tray: $*"; exit 1; }
run() { QUILLO_CONFIG_DIR="$work/config" XDG_RUNTIME_DIR="$work/runtime" "$program" "$@" >"$work/log" 2>&1; }
visible() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
# Waits up to five seconds for the check "$@" to hold.
wait_for() { for _ in $(seq 50); do "$@" && return 0; sleep 0.1; done; return 1; }
printf 'D\t2024\t5\t3\n{\nF\tWork\t\t+\n{\nI\tcall\t0\t-\t-\t-\t-\t-\t-\t0\t\n}\n}\n' >"$work/plan.qlp"

trayer --edge top --align right --widthtype request --height 32 --SetDockType true --transparent false \
    >/dev/null 2>&1 &
tray=$!
wait_for visible '^panel$' || fail "trayer showed no panel"

run -t "$work/plan.qlp" &
pid=$!
# The icon is a window of ours inside the panel; its centre is where the user clicks.
icon_centre() { xvfb_icon_centre; }
has_icon() { [ -n "$(icon_centre)" ]; }
wait_for has_icon || fail "no icon in the tray"
read -r ix iy <<<"$(icon_centre)"
sleep 0.5
visible '^plan$' && fail "-t showed the main window"

xdotool mousemove "$ix" "$iy" click 1
wait_for visible '^plan$' || fail "a click on the icon did not bring the window back"
win=$(xdotool search --onlyvisible --name '^plan$' | head -n 1)
xdotool windowfocus --sync "$win" key Escape
hidden() { ! visible "$1"; }
wait_for hidden '^plan$' || fail "Esc did not send the window to the tray"

# The menu: out of the tray, -, new to-do, today's schedule, -, exit.
xdotool mousemove "$ix" "$iy" click 3
sleep 0.5
xdotool key Down Down Down Return
wait_for visible '^今日 - ' || fail "the tray menu showed no day window"
visible '^plan$' && fail "the main window came out of the tray with the day window"
day=$(xdotool search --onlyvisible --name '^今日 - ' | head -n 1)
xdotool windowfocus --sync "$day" key Escape
wait_for hidden '^今日 - ' || fail "the day window did not close"
sleep 0.3
visible '^plan$' && fail "closing the day window brought the main window out of the tray"

xdotool mousemove "$ix" "$iy" click 3
sleep 0.5
xdotool key Up Return
xvfb_wait_exit xvfb-tray "$pid"

# No tray host: the window must stay reachable.
kill "$tray"
wait "$tray" 2>/dev/null || true
tray=""
sleep 0.3
run "$work/plan.qlp" &
pid=$!
wait_for visible '^plan$' || fail "no window without a tray host"
win=$(xdotool search --onlyvisible --name '^plan$' | head -n 1)
xdotool windowfocus --sync "$win" key Escape
sleep 0.5
visible '^plan$' || fail "without a tray host Esc hid the window"
xdotool windowfocus --sync "$win" key ctrl+q
xvfb_wait_exit xvfb-tray "$pid"
echo "xvfb-tray: 1 passed, 0 failed"
