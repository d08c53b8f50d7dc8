#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds and runs every test: warnings as errors, 200 killed saves, then again under ASan+UBSan,
# a short fuzzing run of the schedule reader, the Release build's Debian package under lintian,
# and the real program started under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
quillo_install_missing "${QUILLO_BUILD_PACKAGES[@]}" googletest libgtest-dev libgmock-dev \
    clang-14 libclang-rt-14-dev desktop-file-utils xvfb xauth xdotool x11-utils xclip imagemagick trayer \
    shared-mime-info xdg-utils libfile-mimeinfo-perl appstream dpkg-dev file lintian groff-base man-db \
    libglib2.0-bin zsh fish python3 dbus python3-icalendar todoman

export XDG_RUNTIME_DIR="$(mktemp -d)"
chmod 700 "$XDG_RUNTIME_DIR"
jobs=$(nproc)

echo "== build (warnings are errors) and test"
cmake -S . -B build/ci -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUILLO_WERROR=ON
cmake --build build/ci -j "$jobs"
ctest --test-dir build/ci --output-on-failure -j "$jobs"

echo "== reliability: 200 saves killed mid-write"
QUILLO_SAVE_KILLS=200 build/ci/tests/quillo_core_tests --gtest_filter='SafeFile.KilledSaves*' | tail -n 3

echo "== ASan + UBSan"
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUILLO_WERROR=ON -DQUILLO_SANITIZE=ON \
    -DQUILLO_BUILD_BENCH=OFF
cmake --build build/asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build/asan --output-on-failure -j "$jobs"

echo "== fuzzing the schedule reader for ${QUILLO_FUZZ_SECONDS:=60} s"
CC=clang-14 CXX=clang++-14 cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLO_FUZZ=ON \
    -DQUILLO_BUILD_UI=OFF -DQUILLO_BUILD_BENCH=OFF
cmake --build build/fuzz --target fuzz_read_item_lines -j "$jobs"
corpus="$(mktemp -d)"
cp tests/fuzz/corpus/* "$corpus"/
./build/fuzz/tests/fuzz_read_item_lines -max_total_time="$QUILLO_FUZZ_SECONDS" -max_len=65536 -rss_limit_mb=4096 \
    -print_final_stats=1 "$corpus" 2>&1 | tail -n 12
rm -rf "$corpus"

echo "== Release build: the Debian package, hardened and stripped, under lintian"
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLO_WERROR=ON -DQUILLO_BUILD_TESTS=OFF \
    -DQUILLO_BUILD_BENCH=OFF
cmake --build build/release -j "$jobs"
scripts/check-install.sh build/release --deb

echo "== the program under Xvfb"
scripts/xvfb-smoke.sh build/ci/src/quillo
scripts/xvfb-edit.sh build/ci/src/quillo
scripts/xvfb-start.sh build/ci/src/quillo
scripts/xvfb-property.sh build/ci/src/quillo
scripts/xvfb-undo.sh build/ci/src/quillo
scripts/xvfb-repeat.sh build/ci/src/quillo
scripts/xvfb-clipboard.sh build/ci/src/quillo
scripts/xvfb-day.sh build/ci/src/quillo
scripts/xvfb-tray.sh build/ci/src/quillo
scripts/xvfb-notify.sh build/ci/src/quillo build/ci/tests/quillo_notify_server
