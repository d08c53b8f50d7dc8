#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Real processes on a private Xvfb display: a first start in an empty settings folder, a second
# copy that hands over to the first and ends while the first runs on untouched, and Ctrl+Q writing
# the settings. (A first copy that does not answer, and the box then, are xvfb-wm.sh's.)
set -euo pipefail
program="$1"
display=":$((90 + RANDOM % 100))"
config="$(mktemp -d)"
runtime="$(mktemp -d)"
chmod 700 "$runtime"
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$config" "$runtime"' EXIT
for _ in $(seq 50); do DISPLAY="$display" xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
run() { QUILLO_CONFIG_DIR="$config" XDG_RUNTIME_DIR="$runtime" DISPLAY="$display" "$program" "$@"; }
fail() { echo "xvfb-start: $*"; exit 1; }

run &
first=$!
DISPLAY="$display" timeout 20 xdotool search --sync --onlyvisible --name "新規予定表" >/dev/null ||
    fail "the first copy showed no window"
[ -f "$config/quillo.ini" ] && [ -f "$config/quillo.hld" ] || fail "the first start wrote no settings"
before=$(sha256sum "$config/quillo.ini" "$config/quillo.hld")

run &
second=$!
rc=0
timeout 20 tail --pid=$second -f /dev/null || fail "the second copy did not end"
wait $second || rc=$?
[ "$rc" -eq 0 ] || fail "the second copy ended with status $rc instead of handing over"
DISPLAY="$display" xdotool search --onlyvisible --name "^エラー$" >/dev/null 2>&1 && fail "a box came up"
kill -0 $first 2>/dev/null || fail "the first copy ended too"
[ "$before" = "$(sha256sum "$config/quillo.ini" "$config/quillo.hld")" ] || fail "the second copy touched the settings"

win=$(DISPLAY="$display" xdotool search --onlyvisible --name "新規予定表" | head -n 1)
DISPLAY="$display" xdotool windowfocus --sync "$win" key ctrl+q
for _ in $(seq 100); do kill -0 $first 2>/dev/null || break; sleep 0.1; done
kill -0 $first 2>/dev/null && fail "the first copy did not exit on Ctrl+Q"
grep -q $'^HolidayLv=0\r$' "$config/quillo.ini" || fail "no HolidayLv=0 in the settings"
grep -q $'^Section3=72\r$' "$config/quillo.ini" || fail "no Section3=72 in the settings"
grep -q $'^FileName=\r$' "$config/quillo.ini" || fail "the close request stored no LastEdit"
echo "xvfb-start: 1 passed, 0 failed"
