#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts the program on a private Xvfb display, waits for its window and closes it.
set -euo pipefail
program="$1"
display=":$((90 + RANDOM % 100))"
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 50); do DISPLAY="$display" xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
QUILLO_CONFIG_DIR="$(mktemp -d)" DISPLAY="$display" "$program" &
app=$!
# Without a file the program starts a new schedule.
if ! DISPLAY="$display" timeout 20 xdotool search --sync --onlyvisible --name "新規予定表" >/dev/null; then
    echo "xvfb: no window titled '新規予定表' appeared"
    kill $app 2>/dev/null || true
    exit 1
fi
# Ctrl+Q is the program's own exit command; it closes the window like a user would.
win=$(DISPLAY="$display" xdotool search --onlyvisible --name "新規予定表" | head -n 1)
DISPLAY="$display" xdotool windowfocus --sync "$win" key ctrl+q
for _ in $(seq 100); do kill -0 $app 2>/dev/null || break; sleep 0.1; done
if kill -0 $app 2>/dev/null; then
    echo "xvfb: the program did not exit on Ctrl+Q"
    kill $app
    exit 1
fi
rc=0
wait $app || rc=$?
if [ "$rc" -ne 0 ]; then
    echo "xvfb: the program exited with $rc"
    exit 1
fi
echo "xvfb: 1 passed, 0 failed"
