#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs a build into a temporary prefix and checks what the desktop reads from it: the menu
# entry, the schedule type (a .qlp file is recognised with that prefix's data folder), the
# AppStream page, the icons and the help document. With "--deb" it also builds the Debian package
# and checks its contents and dependencies.
set -euo pipefail
build="$1"
mode="${2:-}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "check-install: $*"; exit 1; }

prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/quillo bin/quillo-cli share/applications/quillo.desktop share/mime/packages/quillo.xml \
    share/metainfo/io.github.quillo.Quillo.metainfo.xml share/icons/hicolor/scalable/apps/quillo.svg \
    share/icons/hicolor/48x48/apps/quillo.png share/quillo/readme.htm; do
    [ -f "$prefix/$f" ] || fail "not installed: $f"
done
desktop-file-validate "$prefix/share/applications/quillo.desktop" || fail "the desktop entry is not valid"
appstreamcli validate --no-net "$prefix/share/metainfo/io.github.quillo.Quillo.metainfo.xml" >/dev/null ||
    fail "AppStream rejects the metainfo"
update-mime-database "$prefix/share/mime" >/dev/null 2>&1
printf 'D\t2024\t5\t3\r\n{\r\n}\r\n' >"$work/plan.qlp"
type=$(HOME="$work" XDG_DATA_HOME="$work/none" XDG_DATA_DIRS="$prefix/share" xdg-mime query filetype "$work/plan.qlp")
[ "$type" = "application/x-quilloryplan-schedule" ] || fail "a .qlp file is '$type'"
"$prefix/bin/quillo-cli" check "$work/plan.qlp" >/dev/null || fail "the installed quillo-cli cannot check a schedule"

if [ "$mode" = "--deb" ]; then
    (cd "$build" && cpack -G DEB -B "$work/deb" >/dev/null 2>&1) || fail "cpack could not build the package"
    deb=$(ls "$work"/deb/quillo_*.deb)
    info=$(dpkg-deb --info "$deb")
    contents=$(dpkg-deb --contents "$deb")
    for f in ./usr/bin/quillo ./usr/bin/quillo-cli ./usr/share/applications/quillo.desktop \
        ./usr/share/mime/packages/quillo.xml ./usr/share/metainfo/io.github.quillo.Quillo.metainfo.xml \
        ./usr/share/icons/hicolor/scalable/apps/quillo.svg ./usr/share/icons/hicolor/256x256/apps/quillo.png \
        ./usr/share/quillo/readme.htm; do
        grep -qF " $f" <<<"$contents" || fail "the package lacks $f"
    done
    depends=$(grep '^ Depends:' <<<"$info")
    for lib in libqt6widgets6 libqt6gui6 libqt6core6 libical3 libc6; do
        grep -q "$lib" <<<"$depends" || fail "the package does not depend on $lib: $depends"
    done
    # What apt would do on this machine with the package: every dependency resolvable.
    if [ "$(id -u)" -eq 0 ] && command -v apt-get >/dev/null; then
        apt-get install -s -qq "$deb" >/dev/null 2>"$work/apt.err" || { cat "$work/apt.err"; fail "apt cannot install the package"; }
    fi
fi
echo "check-install: 1 passed, 0 failed"
