#!/usr/bin/env bash
# A real run on a private Xvfb display: open a schedule, expand a folder with the keyboard,
# save with Ctrl+S, quit with Ctrl+Q; the file on disk must then hold what the tree showed.
set -euo pipefail
program="$1"
work="$(mktemp -d)"
trap 'kill ${xvfb:-0} 2>/dev/null || true; rm -rf "$work"' EXIT
printf 'D\t2024\t5\t3\r\nA-\r\n{\r\nF\tWork\t\t+\r\n{\r\nF\tInner\t\t-\r\n{\r\nI\tdeep\t0\t-\t-\t-\t-\t-\t-\t0\t\r\n}\r\n}\r\n}\r\n\r\n# Quillory Plan Schedule File (ver0.15)\r\n# 2024/05/03 11:00:00\r\n' >"$work/plan.qlp"
display=":$((200 + RANDOM % 100))"
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 50); do DISPLAY="$display" xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
QUILLO_CONFIG_DIR="$work" DISPLAY="$display" "$program" "$work/plan.qlp" &
app=$!
win=$(DISPLAY="$display" timeout 20 xdotool search --sync --onlyvisible --name "^plan$" | head -n 1)
DISPLAY="$display" xdotool windowfocus --sync "$win"
# Root is selected: down to Work, down to Inner, expand it, save, quit.
for key in Down Down Right ctrl+s; do DISPLAY="$display" xdotool key --delay 100 "$key"; sleep 0.3; done
DISPLAY="$display" xdotool key ctrl+q
for _ in $(seq 100); do kill -0 $app 2>/dev/null || break; sleep 0.1; done
if kill -0 $app 2>/dev/null; then
    echo "xvfb-edit: the program did not exit"
    kill $app
    exit 1
fi
wait $app
if grep -q $'^F\tInner\t\t+\r$' "$work/plan.qlp" && grep -q $'^F\tWork\t\t+\r$' "$work/plan.qlp"; then
    echo "xvfb-edit: 1 passed, 0 failed"
else
    echo "xvfb-edit: the saved file does not show the expanded folder:"
    cat -A "$work/plan.qlp"
    exit 1
fi
