#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A real run on a private Xvfb display: the property dialog on a to-do, its begin date moved a
# day on with the keyboard, OK, Ctrl+S; the file on disk must then hold the new date.
set -euo pipefail
program="$1"
work="$(mktemp -d)"
trap '[ -z "${xvfb:-}" ] || kill "$xvfb" 2>/dev/null; rm -rf "$work"' EXIT
printf 'D\t2024\t5\t3\r\nA-\r\n{\r\nI\tReport\t0\t2024\t5\t6\t2024\t5\t9\t0\t\r\n}\r\n' >"$work/plan.qlp"
. "$(dirname "$0")/xvfb-common.sh"
xvfb_start
QUILLO_TODAY=2024-05-03 QUILLO_CONFIG_DIR="$work" DISPLAY="$display" "$program" "$work/plan.qlp" &
app=$!
key() { for k in "$@"; do DISPLAY="$display" xdotool key --delay 100 "$k"; sleep 0.3; done; }
win=$(DISPLAY="$display" timeout 20 xdotool search --sync --onlyvisible --name "^plan$" | head -n 1)
DISPLAY="$display" xdotool windowfocus --sync "$win"
key Down ctrl+i
DISPLAY="$display" timeout 10 xdotool search --sync --onlyvisible --name "項目のプロパティ" >/dev/null
# The date page; "no begin" ticked and unticked leaves the focus on it; the calendar follows.
key alt+p alt+b alt+b Tab Right Tab Return
# Without a window manager the focus does not go back by itself.
DISPLAY="$display" xdotool windowfocus --sync "$win"
key ctrl+s ctrl+q
xvfb_wait_exit xvfb-property $app
if grep -q $'^I\tReport\t0\t2024\t5\t7\t2024\t5\t9\t0\t\r$' "$work/plan.qlp"; then
    echo "xvfb-property: 1 passed, 0 failed"
else
    echo "xvfb-property: the saved file does not hold the new begin date:"
    cat -A "$work/plan.qlp"
    exit 1
fi
