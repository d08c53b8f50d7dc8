#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A real keyboard session on a private Xvfb display: date shifts, the done mark, a move, a delete
# and a new folder, saved; then Ctrl+Z until nothing changes and saved again. The file's items
# must then be the original's (the open marks of folders aside).
set -euo pipefail
program="$1"
work="$(mktemp -d)"
trap '[ -z "${xvfb:-}" ] || kill "$xvfb" 2>/dev/null; rm -rf "$work"' EXIT
printf 'D\t2024\t5\t3\r\nA-\r\n{\r\nF\tWork\t\t+\r\n{\r\nI\tReport\t0\t2024\t5\t6\t2024\t5\t9\t0\t\r\nI\tMail\t0\t-\t-\t-\t-\t-\t-\t0\t\r\nI\tCall\t0\t-\t-\t-\t2024\t5\t7\t0\t\r\n}\r\n}\r\n' >"$work/plan.qlp"
items() { sed -n '/^{/,/^}/p' "$1" | sed -e 's/^\(F\t.*\)\t[+-]\r$/\1\r/'; }
original=$(items "$work/plan.qlp")
. "$(dirname "$0")/xvfb-common.sh"
xvfb_start
QUILLO_TODAY=2024-05-03 QUILLO_CONFIG_DIR="$work" DISPLAY="$display" "$program" "$work/plan.qlp" &
app=$!
win=$(DISPLAY="$display" timeout 20 xdotool search --sync --onlyvisible --name "^plan$" | head -n 1)
key() {
    DISPLAY="$display" xdotool windowfocus --sync "$win"
    for k in "$@"; do DISPLAY="$display" xdotool key --delay 100 "$k"; sleep 0.25; done
}
# Work, Report: begin and end a day later, done; Mail up above Report; Call deleted; a new folder.
key Down Down shift+Right ctrl+Right space Down ctrl+Up Down Down shift+Delete ctrl+shift+n
key Return ctrl+s
edited=$(items "$work/plan.qlp")
if [ "$edited" = "$original" ]; then
    echo "xvfb-undo: the session changed nothing"
    kill $app
    exit 1
fi
for _ in $(seq 12); do key ctrl+z; done
key ctrl+s ctrl+q
xvfb_wait_exit xvfb-undo $app
if [ "$(items "$work/plan.qlp")" = "$original" ]; then
    echo "xvfb-undo: 1 passed, 0 failed"
else
    echo "xvfb-undo: undoing everything did not give back the original items:"
    diff <(echo "$original") <(items "$work/plan.qlp") | cat -A
    exit 1
fi
