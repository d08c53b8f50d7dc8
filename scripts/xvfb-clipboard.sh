#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real X clipboard on a private Xvfb display: Ctrl+C on a to-do gives the clipped-data lines
# (read with xclip), text offered by xclip is pasted with Ctrl+V after the selected to-do, and
# text that is no schedule gives the error box and leaves no "Temp" folder.
set -euo pipefail
program="$1"
work="$(mktemp -d)"
trap '[ -z "${xvfb:-}" ] || kill "$xvfb" 2>/dev/null; rm -rf "$work"' EXIT
printf 'D\t2024\t5\t3\r\nA-\r\n{\r\nF\tWork\t\t+\r\n{\r\nI\tReport\t0\t2024\t5\t6\t2024\t5\t9\t0\t\r\n}\r\n}\r\n' >"$work/plan.qlp"
. "$(dirname "$0")/xvfb-common.sh"
xvfb_start
fail() {
    echo "xvfb-clipboard: $*"
    [ -z "${app:-}" ] || kill "$app" 2>/dev/null
    exit 1
}
QUILLO_TODAY=2024-05-03 QUILLO_CONFIG_DIR="$work" DISPLAY="$display" "$program" "$work/plan.qlp" &
app=$!
win=$(DISPLAY="$display" timeout 20 xdotool search --sync --onlyvisible --name "^plan$" | head -n 1)
key() {
    DISPLAY="$display" xdotool windowfocus --sync "$win"
    for k in "$@"; do DISPLAY="$display" xdotool key --delay 100 "$k"; sleep 0.3; done
}
clip() { DISPLAY="$display" timeout 5 xclip -selection clipboard "$@"; }
# Offers text and waits until the selection is really served.
offer() {
    clip -i
    for _ in $(seq 20); do [ -n "$(clip -o 2>/dev/null)" ] && break; sleep 0.1; done
}

key Down Down ctrl+c
copied=$(clip -o | head -n 5)
expected=$(printf 'D\t2024\t5\t3\r\n{\r\nI\tReport\t0\t2024\t5\t6\t2024\t5\t9\t0\t\r\n}\r\n\r')
[ "$copied" = "$expected" ] || fail "the clipboard holds something else: $(echo "$copied" | cat -A)"
clip -o | grep -q $'^# Quillory Plan Clipped Data (ver0.15)\r$' || fail "no banner on the clipboard"

printf 'D\t2024\t5\t3\r\n{\r\nI\tPasted\t1\t-\t-\t-\t-\t-\t-\t0\t\r\n}\r\n' | offer
key ctrl+v
box=$(DISPLAY="$display" timeout 10 xdotool search --sync --onlyvisible --name "^確認$" | head -n 1) ||
    fail "no question after the paste"
DISPLAY="$display" xdotool windowfocus --sync "$box" key alt+n
sleep 0.3
key ctrl+s
grep -q -A1 $'^I\tReport' "$work/plan.qlp" || fail "the schedule was not saved"
[ "$(grep -A1 $'^I\tReport' "$work/plan.qlp" | tail -n 1 | cut -f2)" = "Pasted" ] ||
    fail "the pasted to-do does not follow the selected one: $(cat -A "$work/plan.qlp")"

printf 'a shopping list\r\n' | offer
key ctrl+v
box=$(DISPLAY="$display" timeout 10 xdotool search --sync --onlyvisible --name "^エラー$" | head -n 1) ||
    fail "no error box for a text that is no schedule"
DISPLAY="$display" xdotool windowfocus --sync "$box" key Return
sleep 0.3
key ctrl+s ctrl+q
xvfb_wait_exit xvfb-clipboard $app
if grep -q $'\tTemp\t' "$work/plan.qlp"; then
    fail "a Temp folder was left: $(cat -A "$work/plan.qlp")"
fi
echo "xvfb-clipboard: 1 passed, 0 failed"
