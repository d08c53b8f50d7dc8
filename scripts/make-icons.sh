#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Draws the PNG sizes of an icon from its SVG (the .qlp type's icon unless others are named), for
# the icon theme's fixed-size folders. Needs rsvg-convert (Debian librsvg2-bin). The PNGs are
# committed, so a build needs neither this script nor the tool.
set -euo pipefail
cd "$(dirname "$0")/../data/icons"
[ $# -gt 0 ] || set -- application-x-quilloryplan-schedule.svg
for svg in "$@"; do
    for size in 16 22 24 32 48 64 128 256; do
        rsvg-convert -w "$size" -h "$size" "$svg" -o "${svg%.svg}-$size.png"
    done
done
