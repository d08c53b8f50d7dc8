#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Idle CPU of the real program under Xvfb: starts it with a new schedule, lets it settle, then
# reads its CPU time over a quiet interval. Usage: bench/idle_cpu.sh build/release/src/quillo [seconds]
set -euo pipefail
program="$1"
seconds="${2:-10}"
display=":$((150 + RANDOM % 100))"
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
config="$(mktemp -d)"
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$config"' EXIT
for _ in $(seq 50); do DISPLAY="$display" xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
QUILLO_CONFIG_DIR="$config" DISPLAY="$display" "$program" &
app=$!
DISPLAY="$display" timeout 20 xdotool search --sync --onlyvisible --pid "$app" >/dev/null
sleep 3
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
before=$(ticks "$app")
sleep "$seconds"
after=$(ticks "$app")
kill "$app"
hz=$(getconf CLK_TCK)
awk -v t=$((after - before)) -v hz="$hz" -v s="$seconds" \
    'BEGIN { printf "idle CPU over %d s: %.2f %% of one core\n", s, 100 * t / hz / s }'
