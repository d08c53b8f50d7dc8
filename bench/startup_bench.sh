#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Launch to a drawn window: quillo starting on a new schedule with its settings in place, as at
# every log-on, against a minimal Qt Widgets program (a main window with an empty tree view), each
# ending right after its first paint, measured in turn on one private Xvfb display; the median of
# five runs each and their ratio. The very first start, which writes the settings, is shown apart.
# Usage: bench/startup_bench.sh BUILD_DIR (a Release build).
set -euo pipefail
build="$(realpath "${1:-build/release}")"
. "$(dirname "$0")/../scripts/xvfb-common.sh"
work="$(mktemp -d)"
xvfb_start
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
export DISPLAY="$display" QUILLO_EXIT_AFTER_FIRST_PAINT=1
mkdir -p "$work/runtime"
chmod 700 "$work/runtime"

# Milliseconds from launch to the end after the first paint.
once() {
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1 || true
    end=$(date +%s%N)
    echo $(((end - start) / 1000000))
}
quillo() {
    QUILLO_CONFIG_DIR="$work/config" XDG_RUNTIME_DIR="$work/runtime" "$build/src/quillo"
}
once "$build/bench/startup_minimal" >/dev/null # the first run of each fills the file cache
echo "startup: quillo's very first start (writes its settings) $(once quillo) ms"
minimal=() program=()
for _ in 1 2 3 4 5; do
    minimal+=("$(once "$build/bench/startup_minimal")")
    program+=("$(once quillo)")
done
median() { printf '%s\n' "$@" | sort -n | sed -n 3p; }
m=$(median "${minimal[@]}")
p=$(median "${program[@]}")
echo "startup: minimal Qt window ${minimal[*]} ms, median $m"
echo "startup: quillo new schedule ${program[*]} ms, median $p"
awk -v p="$p" -v m="$m" 'BEGIN { printf "startup: ratio %.2f (target 1.15 or less)\n", p / m }'
