#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A real session on a private Xvfb display: Space checks a weekly to-do and Ctrl+S saves it as
# history without its rule and a new unchecked one a week later that carries the rule; Ctrl+Z
# and Ctrl+S then give back the file's items as they were.
set -euo pipefail
program="$1"
work="$(mktemp -d)"
trap '[ -z "${xvfb:-}" ] || kill "$xvfb" 2>/dev/null; rm -rf "$work"' EXIT
weekly=$(printf '\x8f\x54\x95\xf1') # 週報 in cp932
printf 'D\t2024\t5\t3\r\nA-\r\n{\r\nI\t%s\t0\t2024\t5\t6\t2024\t5\t6\t0\t%%rb;+1w%%re;\r\n}\r\n' "$weekly" >"$work/plan.qlp"
items() { sed -n '/^{/,/^}/p' "$1"; }
original=$(items "$work/plan.qlp")
checked=$(printf '{\r\nI\t%s\t1\t2024\t5\t6\t2024\t5\t6\t0\t\r\nI\t%s\t0\t2024\t5\t13\t2024\t5\t13\t0\t%%rb;+1w%%re;\r\n}\r' \
    "$weekly" "$weekly")
. "$(dirname "$0")/xvfb-common.sh"
xvfb_start
xvfb_open_plan "$program"
xvfb_keys Down space ctrl+s
if [ "$(items "$work/plan.qlp")" != "$checked" ]; then
    echo "xvfb-repeat: checking and saving gave:"
    cat -A "$work/plan.qlp"
    kill $app
    exit 1
fi
xvfb_keys ctrl+z ctrl+s ctrl+q
xvfb_wait_exit xvfb-repeat $app
if [ "$(items "$work/plan.qlp")" = "$original" ]; then
    echo "xvfb-repeat: 1 passed, 0 failed"
else
    echo "xvfb-repeat: Ctrl+Z did not give back the original item:"
    cat -A "$work/plan.qlp"
    exit 1
fi
