#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The day schedule window on a private Xvfb display: Ctrl+T opens it titled with today's root
# text, Alt+Right steps it to tomorrow, Esc closes it.
set -euo pipefail
program="$1"
work="$(mktemp -d)"
trap '[ -z "${xvfb:-}" ] || kill "$xvfb" 2>/dev/null; rm -rf "$work"' EXIT
printf 'D\t2024\t5\t3\r\nA-\r\n{\r\nI\tReport\t0\t2024\t5\t1\t2024\t5\t9\t0\t\r\n}\r\n' >"$work/plan.qlp"
. "$(dirname "$0")/xvfb-common.sh"
xvfb_start
QUILLO_TODAY=2024-05-03 QUILLO_CONFIG_DIR="$work" DISPLAY="$display" "$program" "$work/plan.qlp" &
app=$!
fail() {
    echo "xvfb-day: $*"
    kill "$app" 2>/dev/null
    exit 1
}
win=$(DISPLAY="$display" timeout 20 xdotool search --sync --onlyvisible --name "^plan$" | head -n 1)
DISPLAY="$display" xdotool windowfocus --sync "$win" key ctrl+t
day=$(DISPLAY="$display" timeout 10 xdotool search --sync --onlyvisible --name "^今日 - 2024/05/03\(金\)の予定$" |
    head -n 1) || fail "no day window titled for today"
DISPLAY="$display" xdotool windowfocus --sync "$day" key alt+Right
DISPLAY="$display" timeout 10 xdotool search --sync --onlyvisible --name "^明日 - 2024/05/04\(土\)の予定$" >/dev/null ||
    fail "Alt+Right did not step to tomorrow"
DISPLAY="$display" xdotool windowfocus --sync "$day" key Escape
sleep 0.5
DISPLAY="$display" xdotool windowfocus --sync "$win" key ctrl+q
xvfb_wait_exit xvfb-day $app
echo "xvfb-day: 1 passed, 0 failed"
