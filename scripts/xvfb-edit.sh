#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A real run on a private Xvfb display: open a schedule, expand a folder with the keyboard,
# save with Ctrl+S, quit with Ctrl+Q; the file on disk must then hold what the tree showed.
set -euo pipefail
program="$1"
work="$(mktemp -d)"
trap '[ -z "${xvfb:-}" ] || kill "$xvfb" 2>/dev/null; rm -rf "$work"' EXIT
printf 'D\t2024\t5\t3\r\nA-\r\n{\r\nF\tWork\t\t+\r\n{\r\nF\tInner\t\t-\r\n{\r\nI\tdeep\t0\t-\t-\t-\t-\t-\t-\t0\t\r\n}\r\n}\r\n}\r\n\r\n# Quillory Plan Schedule File (ver0.15)\r\n# 2024/05/03 11:00:00\r\n' >"$work/plan.qlp"
. "$(dirname "$0")/xvfb-common.sh"
xvfb_start
QUILLO_CONFIG_DIR="$work" DISPLAY="$display" "$program" "$work/plan.qlp" &
app=$!
win=$(DISPLAY="$display" timeout 20 xdotool search --sync --onlyvisible --name "^plan$" | head -n 1)
DISPLAY="$display" xdotool windowfocus --sync "$win"
# Root is selected: down to Work, down to Inner, expand it, save, quit.
for key in Down Down Right ctrl+s; do DISPLAY="$display" xdotool key --delay 100 "$key"; sleep 0.3; done
DISPLAY="$display" xdotool key ctrl+q
xvfb_wait_exit xvfb-edit $app
if grep -q $'^F\tInner\t\t+\r$' "$work/plan.qlp" && grep -q $'^F\tWork\t\t+\r$' "$work/plan.qlp"; then
    echo "xvfb-edit: 1 passed, 0 failed"
else
    echo "xvfb-edit: the saved file does not show the expanded folder:"
    cat -A "$work/plan.qlp"
    exit 1
fi
