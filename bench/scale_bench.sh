#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# How reading cost grows with the size of a schedule: generated files of 1 000, 10 000 and
# 100 000 to-dos (folders of 100, no memos), each read by quillo-cli check, agenda and list in
# processes of their own (median wall time of five runs, peak resident memory), then the desktop
# program's open-to-first-paint. Usage: bench/scale_bench.sh BUILD_DIR (a Release build).
set -euo pipefail
build="${1:-build/release}"
cli="$build/src/quillo-cli"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
for n in 1000 10000 100000; do "$build/bench/quillo_bench" plainfile "$work" "$n" >/dev/null; done

# Prints "median_ms peak_kB" of five runs of the command.
measure() {
    local times=() peak=0
    for _ in 1 2 3 4 5; do
        /usr/bin/time -f "%e %M" -o "$work/t" "$@" >/dev/null
        read -r s kb <"$work/t"
        times+=("$s")
        [ "$kb" -gt "$peak" ] && peak=$kb
    done
    printf '%s %s\n' "$(printf '%s\n' "${times[@]}" | sort -n | sed -n 3p)" "$peak"
}

printf '%-8s %-7s %10s %10s %16s\n' items command "time (s)" "peak (MB)" "above empty (B/item)"
printf 'D\t2024\t5\t3\r\n{\r\n}\r\n' >"$work/empty.qlp"
base=$(measure "$cli" check "$work/empty.qlp" | awk '{print $2}')
for label in 1k 10k 100k; do
    items=$((${label%k} * 1000))
    file="$work/plain$label.qlp"
    for cmd in check agenda list; do
        args=("$cmd" "$file")
        [ "$cmd" = check ] || args+=(--tsv --today 2024-05-03 --config-dir /nonexistent)
        read -r s kb <<<"$(measure "$cli" "${args[@]}")"
        awk -v n="$items" -v c="$cmd" -v s="$s" -v kb="$kb" -v base="$base" \
            'BEGIN { printf "%-8d %-7s %10s %10.1f %16d\n", n, c, s, kb / 1024, (kb - base) * 1024 / n }' 
    done
done
if [ -x "$build/bench/open_bench" ]; then
    QT_QPA_PLATFORM=offscreen "$build/bench/open_bench" | grep '^open:'
fi
