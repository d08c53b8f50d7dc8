#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs a build into a temporary prefix and checks what the desktop and a user read from it:
# the menu entry and the AppStream page (validated as installed), the schedule type with an icon
# of its own, the manual pages, shell completion, and both programs as terminal tools. With "--deb"
# it also builds the Debian package, checks its contents and dependencies, and runs lintian on it.
set -euo pipefail
build="$1"
mode="${2:-}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "check-install: $*"; exit 1; }
have() { command -v "$1" >/dev/null 2>&1; }

id=io.github.quillo.quillo
mimeicon=application-x-quilloryplan-schedule
installed=(bin/quillo bin/quillo-cli share/applications/$id.desktop share/mime/packages/quillo.xml
    share/metainfo/$id.metainfo.xml share/icons/hicolor/scalable/apps/quillo.svg
    share/icons/hicolor/48x48/apps/quillo.png share/icons/hicolor/scalable/mimetypes/$mimeicon.svg
    share/icons/hicolor/48x48/mimetypes/$mimeicon.png share/quillo/readme.htm
    share/man/man1/quillo.1.gz share/man/man1/quillo-cli.1.gz share/bash-completion/completions/quillo-cli
    share/zsh/vendor-completions/_quillo-cli share/fish/vendor_completions.d/quillo-cli.fish
    share/doc/quillo/copyright share/doc/quillo/changelog.gz share/doc/quillo/changelog.Debian.gz)
prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
for f in "${installed[@]}"; do
    [ -f "$prefix/$f" ] || fail "not installed: $f"
done

# What the desktop reads, validated as installed.
desktop-file-validate "$prefix/share/applications/$id.desktop" || fail "the desktop entry is not valid"
appstreamcli validate --pedantic --no-net "$prefix/share/metainfo/$id.metainfo.xml" >"$work/as" 2>&1 ||
    { cat "$work/as"; fail "AppStream rejects the metainfo"; }
grep -q "^✔ Validation was successful.$" "$work/as" || { cat "$work/as"; fail "AppStream has remarks on the metainfo"; }
appstreamcli validate-tree --pedantic --no-net "$prefix" >"$work/as" 2>&1 ||
    { cat "$work/as"; fail "AppStream rejects the installed tree (the launchable desktop entry, the icons)"; }
# The page as it will be once the project has a web address: the screenshot and the address in place.
cmake -DOUT="$work/with-web.metainfo.xml" -DQUILLO_HOMEPAGE=https://example.org/quillo \
    -DQUILLO_SCREENSHOT_URL=https://example.org/quillo/screenshot.png -P "$(dirname "$0")/../cmake/QuilloRelease.cmake"
grep -q "<screenshot type=\"default\">" "$work/with-web.metainfo.xml" || fail "no screenshot entry with a web address"
appstreamcli validate --pedantic --no-net "$work/with-web.metainfo.xml" >"$work/as" 2>&1 &&
    grep -q "^✔ Validation was successful.$" "$work/as" || { cat "$work/as"; fail "AppStream rejects the page with a web address"; }

# The schedule type: recognised by its extension, with an icon of its own that the theme holds.
update-mime-database "$prefix/share/mime" >/dev/null 2>&1
printf 'D\t2024\t5\t3\r\n{\r\n}\r\n' >"$work/plan.qlp"
desk=(env HOME="$work" XDG_DATA_HOME="$work/none" XDG_DATA_DIRS="$prefix/share")
type=$("${desk[@]}" xdg-mime query filetype "$work/plan.qlp")
[ "$type" = "application/x-quilloryplan-schedule" ] || fail "a .qlp file is '$type'"
if have gio; then
    icon=$("${desk[@]}" gio info -a standard::icon "$work/plan.qlp" | sed -n 's/^ *standard::icon: \([^,]*\).*/\1/p')
    [ "$icon" = "$mimeicon" ] || fail "a .qlp file shows the icon '$icon'"
    [ -f "$prefix/share/icons/hicolor/48x48/mimetypes/$icon.png" ] || fail "the icon theme lacks '$icon'"
fi
grep -q '<comment xml:lang="ja">' "$prefix/share/mime/packages/quillo.xml" || fail "the type has no Japanese comment"

# The manual pages render without a warning.
for page in quillo quillo-cli; do
    zcat "$prefix/share/man/man1/$page.1.gz" >"$work/$page.1"
    groff -ww -z -man "$work/$page.1" 2>"$work/groff" && [ ! -s "$work/groff" ] ||
        { cat "$work/groff"; fail "groff warns on $page(1)"; }
    MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/$page.1.gz" 2>"$work/man" | grep -q "^NAME" ||
        fail "man cannot render $page(1)"
    [ ! -s "$work/man" ] || { cat "$work/man"; fail "man warns on $page(1)"; }
done

# Shell completion offers the commands, a command's options and the schedules.
( cd "$work" && bash -c '. "$1"; t() { COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _quillo_cli; echo "${COMPREPLY[*]}"; }
    [ "$(t quillo-cli ag)" = agenda ] && [ "$(t quillo-cli agenda --da)" = --date ] && [ "$(t quillo-cli list pl)" = plan.qlp ]' \
    _ "$prefix/share/bash-completion/completions/quillo-cli" ) || fail "bash completion does not complete"
if have fish; then
    got=$(cd "$work" && fish -c "source '$prefix/share/fish/vendor_completions.d/quillo-cli.fish'
        complete -C'quillo-cli ag'; complete -C'quillo-cli list --ti'; complete -C'quillo-cli check pl'" | cut -f1 | tr '\n' ' ')
    [ "$got" = "agenda --title plan.qlp " ] || fail "fish completion gives '$got'"
fi
if have zsh; then
    zsh -n "$prefix/share/zsh/vendor-completions/_quillo-cli" || fail "the zsh completion does not parse"
fi

# Both programs as terminal tools: version and help without a display or the single-instance lock.
runtime="$work/runtime"
mkdir -m 700 "$runtime"
for program in quillo quillo-cli; do
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= XDG_RUNTIME_DIR="$runtime" "$prefix/bin/$program" --version) ||
        fail "$program --version failed"
    [[ $out == "$program (Quillory Plan) "* ]] || fail "$program --version says '$out'"
    env -u DISPLAY XDG_RUNTIME_DIR="$runtime" "$prefix/bin/$program" --help | grep -q "^usage: $program" ||
        fail "$program --help prints no usage"
    if "$prefix/bin/$program" --help >/dev/full 2>"$work/err"; then fail "$program --help >/dev/full ends with 0"; fi
    grep -q "^$program: standard output: No space left on device$" "$work/err" || fail "$program: $(cat "$work/err")"
done
[ -z "$(ls -A "$runtime")" ] || fail "--help or --version took the single-instance lock"
cli="$prefix/bin/quillo-cli"
"$cli" check "$work/plan.qlp" >/dev/null || fail "the installed quillo-cli cannot check a schedule"
{ printf 'D\t2024\t5\t3\r\n{\r\n'; for i in $(seq 3000); do printf 'I\tto-do %d\t0\t2026\t12\t1\t2026\t12\t9\t0\t\r\n' "$i"; done; printf '}\r\n'; } >"$work/big.qlp"
listing=$("$cli" list "$work/big.qlp" --config-dir "$work")
[ "$(cat "$work/big.qlp" | "$cli" list - --title big --config-dir "$work")" = "$listing" ] ||
    fail "a schedule from standard input lists differently from the file"
if "$cli" list "$work/big.qlp" --config-dir "$work" >/dev/full 2>"$work/err"; then fail "a listing into /dev/full ends with 0"; fi
grep -q "^quillo-cli: standard output: No space left on device$" "$work/err" || fail "quillo-cli: $(cat "$work/err")"

if [ "$mode" = "--deb" ]; then
    (cd "$build" && cpack -G DEB -B "$work/deb" >/dev/null 2>&1) || fail "cpack could not build the package"
    deb=$(ls "$work"/deb/quillo_*.deb)
    info=$(dpkg-deb --info "$deb")
    contents=$(dpkg-deb --contents "$deb")
    for f in "${installed[@]}"; do
        grep -qF " ./usr/$f" <<<"$contents" || fail "the package lacks /usr/$f"
    done
    grep -qF " ./usr/share/lintian/overrides/quillo" <<<"$contents" || fail "the package lacks its lintian overrides"
    depends=$(grep '^ Depends:' <<<"$info")
    for lib in libqt6widgets6 libqt6gui6 libqt6core6 libical3 libc6; do
        grep -q "$lib" <<<"$depends" || fail "the package does not depend on $lib: $depends"
    done
    # Debian's policy checker: no error and no warning (overrides carry their reasons). A Release
    # build must also be hardened and stripped, which lintian reports at the level of information.
    lintian --pedantic -I "$deb" >"$work/lintian" 2>/dev/null || true
    if grep -E "^[EW]: " "$work/lintian"; then fail "lintian reports errors or warnings"; fi
    if grep -q "^CMAKE_BUILD_TYPE:STRING=Release$" "$build/CMakeCache.txt" &&
        grep -E "hardening-|unstripped" "$work/lintian"; then
        fail "the Release package is not hardened or not stripped"
    fi
    # What apt would do on this machine with the package: every dependency resolvable.
    if [ "$(id -u)" -eq 0 ] && command -v apt-get >/dev/null; then
        apt-get install -s -qq "$deb" >/dev/null 2>"$work/apt.err" || { cat "$work/apt.err"; fail "apt cannot install the package"; }
    fi
fi
echo "check-install: 1 passed, 0 failed"
