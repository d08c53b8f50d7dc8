#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Quillo (release) and starts it; arguments go to the program (a .qlp file, -t).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
quillo_install_missing "${QUILLO_BUILD_PACKAGES[@]}"
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLO_BUILD_TESTS=OFF -DQUILLO_BUILD_BENCH=OFF
cmake --build build/release --target quillo quillo-cli
exec ./build/release/src/quillo "$@"
