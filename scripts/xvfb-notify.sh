#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The program's reminders as a user meets them, on a private Xvfb display and a private session
# bus with the tests' recording notification service (scripts/notify-session.sh):
#   tell  "-t" on a schedule with one late and two caution to-dos sends one notice; its action
#         今日の予定を表示 opens the day window; the next start's notice, clicked, brings the
#         window out of the tray; nothing more is sent meanwhile
#   off   通知を表示する turned off in the menu is kept, and the next start sends nothing
#   none  without a notification service the program starts, tells in the status bar (and in the
#         tray's balloon when a tray host runs), shows no error box and ends normally
#
#   scripts/xvfb-notify.sh build/ci/src/quillo build/ci/tests/quillo_notify_server [SHOTS-DIR]
# With SHOTS-DIR, pictures of the fallbacks are left there.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
program="$(realpath "$1")"
server="$(realpath "$2")"
shots="${3:-}"
if [ -z "${QUILLO_NOTIFY_PHASE:-}" ]; then
    for phase in tell off none; do
        extra=()
        [ "$phase" = none ] && extra=(--no-server)
        QUILLO_NOTIFY_PHASE=$phase "$here/notify-session.sh" "$server" "${extra[@]}" -- "$0" "$@"
    done
    echo "xvfb-notify: fine"
    exit 0
fi

. "$here/xvfb-common.sh"
work="$(mktemp -d)"
mkdir -p "$work/config" "$work/runtime"
chmod 700 "$work/runtime"
xvfb_start
trap 'kill $xvfb ${tray:-} 2>/dev/null || true; rm -rf "$work"' EXIT
export DISPLAY="$display" QUILLO_TODAY=2024-05-03
phase="$QUILLO_NOTIFY_PHASE"
# Japanese where the locale is installed (window names are matched in it).
lang=ja_JP.UTF-8
LANG=$lang locale 2>&1 >/dev/null | grep -q . && lang=C.UTF-8
fail() {
    echo "xvfb-notify ($phase): $*"
    sed "s/^/  log: /" "$work/log" 2>/dev/null
    exit 1
}
visible() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
hidden() { ! visible "$1"; }
wait_for() { for _ in $(seq 50); do "$@" && return 0; sleep 0.1; done; return 1; }
start() {
    LANG=$lang QUILLO_CONFIG_DIR="$work/config" XDG_RUNTIME_DIR="$work/runtime" "$program" "$@" >>"$work/log" 2>&1 &
    app=$!
}
calls() { "$QUILLO_NOTIFY_SERVER" --calls; }
count() { calls | grep -o '"summary"' | wc -l; }
window() { xdotool search --onlyvisible --name '^plan$' | head -n 1; }
quit() { # Ctrl+Q in the main window
    xdotool windowfocus --sync "$(window)" key ctrl+q
    xvfb_wait_exit "xvfb-notify ($phase)" "$app" || fail "the program ended with an error"
}
tray_host() {
    trayer --edge top --align right --widthtype request --height 32 --SetDockType true --transparent false \
        >/dev/null 2>&1 &
    tray=$!
    wait_for visible '^panel$' || fail "trayer showed no panel"
}
no_error_box() { visible '^エラー$' && fail "an error box: $(cat "$work/log")" || true; }
item() { printf 'I\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t0\t\r\n' "$@"; }
{
    printf 'D\t2024\t5\t3\r\nA-\r\n{\r\n'
    item late 0 - - - 2024 5 1
    item due 0 - - - 2024 5 3
    item dueToo 0 2024 4 1 2024 5 3
    item done 1 - - - 2024 5 1
    printf '}\r\n'
} >"$work/plan.qlp"

case "$phase" in
tell)
    tray_host
    start -t "$work/plan.qlp"
    "$QUILLO_NOTIFY_SERVER" --wait-calls 1 --timeout 10 || fail "no notice at start-up"
    sleep 2
    [ "$(count)" -eq 1 ] || fail "more than one notice: $(calls)"
    calls | grep -q '"summary":"遅延 1件・注意 2件"' || fail "the summary: $(calls)"
    calls | grep -q '"body":"late（遅延）\\ndue（1日残）\\ndueToo（1日残）"' || fail "the body: $(calls)"
    calls | grep -q '"app_name":"Quillory Plan"' || fail "the application's name: $(calls)"
    calls | grep -q '"urgency":2' || fail "not critical: $(calls)"
    visible '^plan$' && fail "-t showed the main window"
    "$QUILLO_NOTIFY_SERVER" --click 1 today
    wait_for visible '^今日 - ' || fail "今日の予定を表示 opened no day window"
    visible '^plan$' && fail "the main window came out of the tray with the day window"
    xdotool windowfocus --sync "$(xdotool search --onlyvisible --name '^今日 - ' | head -n 1)" key Escape
    wait_for hidden '^今日 - ' || fail "the day window did not close"
    [ "$(count)" -eq 1 ] || fail "the day window sent a notice: $(calls)"
    # The window stays in the tray; a later start's notice, clicked, brings it forward.
    kill "$app"
    wait "$app" || true
    start -t "$work/plan.qlp"
    "$QUILLO_NOTIFY_SERVER" --wait-calls 2 --timeout 10 || fail "no notice at the second start"
    sleep 0.5
    "$QUILLO_NOTIFY_SERVER" --click 2 default
    wait_for visible '^plan$' || fail "a click on the notice did not bring the window out of the tray"
    no_error_box
    quit
    ;;
off)
    start "$work/plan.qlp"
    "$QUILLO_NOTIFY_SERVER" --wait-calls 1 --timeout 10 || fail "no notice at start-up"
    wait_for visible '^plan$' || fail "no window"
    # 設定(&S) › 通知(&N) › 通知を表示する(&N)
    xdotool windowfocus --sync "$(window)" key alt+s
    sleep 0.5
    xdotool key n
    sleep 0.5
    xdotool key n
    sleep 0.5
    grep -q '^Enabled=0' "$work/config/quillo.ini" || fail "the switch was not kept: $(cat "$work/config/quillo.ini")"
    quit
    start "$work/plan.qlp"
    wait_for visible '^plan$' || fail "no window at the second start"
    sleep 3
    [ "$(count)" -eq 1 ] || fail "a notice while they are off: $(calls)"
    quit
    ;;
none)
    start "$work/plan.qlp"
    wait_for visible '^plan$' || fail "no window without a notification service"
    sleep 2
    no_error_box
    [ -n "$shots" ] && import -window root "$shots/notify-statusbar.png"
    quit
    # With a tray host, -t: the tray's balloon.
    tray_host
    start -t "$work/plan.qlp"
    sleep 3
    no_error_box
    [ -n "$shots" ] && import -window root "$shots/notify-balloon.png"
    kill "$app"
    wait "$app" || true
    ;;
esac
