#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The program under a real window manager (openbox) with a tray panel (trayer) on a private Xvfb
# display, where windows get frames, are placed, iconified and activated by the manager:
#   - the log-on start "-t" waits in the tray; the first start's frame is wholly on screen; the
#     window's X11 class is quillo;
#   - 30 round trips through the tray (Esc then a click after 0.2 to 2 s, a double click, the
#     menu's "タスクトレイから出す", its "予定の新規作成", its day window then Esc and a click) each
#     end with the window mapped, not iconic, active, and no icon in the tray;
#   - the property dialog, opened and closed 10 times, stays where it was;
#   - a second copy hands its schedule to the running one (also while that sits in the tray) and
#     ends with 0; when the running copy is stopped, the second shows the one-copy box and ends
#     with 1;
#   - Ctrl+S over a file another program rewrote asks, and reading it again keeps that program's
#     schedule.
set -euo pipefail
program="$(realpath "$1")"
. "$(dirname "$0")/xvfb-common.sh"
work="$(mktemp -d)"
mkdir -p "$work/config" "$work/runtime" "$work/home"
chmod 700 "$work/runtime"
xvfb_start
trap 'kill -CONT ${running:-} 2>/dev/null; kill ${app:-} ${tray:-} ${wm:-} $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
export DISPLAY="$display" HOME="$work/home"
failures=0
fail() {
    echo "xvfb-wm: $*"
    exit 1
}
miss() { # a round trip that did not end as it should: counted, and the run goes on
    echo "xvfb-wm: $*"
    failures=$((failures + 1))
}
run() {
    QUILLO_TODAY=2024-05-03 QUILLO_CONFIG_DIR="$work/config" XDG_RUNTIME_DIR="$work/runtime" "$program" "$@" \
        >>"$work/log" 2>&1
}
plan() { printf 'D\t2024\t5\t3\r\nA-\r\n{\r\nF\t%s\t\t+\r\n{\r\nI\tcall\t0\t-\t-\t-\t-\t-\t-\t0\t\r\n}\r\n}\r\n' "$1"; }
plan Work >"$work/plan.qlp"
plan Other >"$work/B.qlp"

openbox --sm-disable >/dev/null 2>&1 &
wm=$!
xvfb_wait_for eval 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"' || fail "openbox did not start"
xvfb_tray_start || fail "trayer showed no panel"

wm_state() { xprop -id "$1" WM_STATE 2>/dev/null | awk '/window state/ { print $3 }'; }
active() { printf '%d' "$(xprop -root _NET_ACTIVE_WINDOW | awk '{ print $NF }')"; }
viewable() { xwininfo -id "$1" 2>/dev/null | grep -q IsViewable; }
has_icon() { [ -n "$(xvfb_icon_centre)" ]; }
no_icon() { ! has_icon; }
# In front: mapped, Normal to the window manager, and the active window is $2 (default: $1).
in_front() { viewable "$1" && [ "$(wm_state "$1")" = Normal ] && [ "$(active)" = "${2:-$1}" ]; }
in_tray() { ! viewable "$1" && has_icon; }
click_icon() {
    local x y
    read -r x y <<<"$(xvfb_icon_centre)"
    [ -n "$x" ] || return 1
    xdotool mousemove "$x" "$y" click "$@"
}
tray_menu() { # opens the tray menu and presses the keys
    click_icon 3 || return 1
    sleep 0.6
    xdotool key --delay 80 "$@"
}
# The frame that openbox put around client window $1: x y width height.
frame_of() {
    local parent
    parent=$(xwininfo -id "$1" -children | awk '/Parent window id/ { print $4 }')
    xwininfo -id "$parent" | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
        /Width:/ { w = $NF } /Height:/ { h = $NF } END { print x, y, w, h }'
}

# The log-on start: in the tray, nothing on screen.
run -t "$work/plan.qlp" &
app=$!
xvfb_wait_for has_icon || fail "-t put no icon in the tray"
sleep 0.5
xvfb_window_named plan >/dev/null && fail "-t showed the window"
click_icon 1 || fail "no icon to click"
wait_tenths=30 xvfb_wait_for xvfb_window_named plan >/dev/null || fail "a click did not bring the -t window out"
win=$(xvfb_window_named plan)
wait_tenths=30 xvfb_wait_for in_front "$win" || miss "the -t window came out but not in front ($(wm_state "$win"))"
no_icon || miss "the icon stayed after leaving the tray"
read -r fx fy fw fh <<<"$(frame_of "$win")"
[ "$fx" -ge 0 ] && [ "$fy" -ge 0 ] && [ $((fx + fw)) -le 1280 ] && [ $((fy + fh)) -le 800 ] ||
    miss "the first start's frame is not wholly on screen: ${fw}x$fh at $fx,$fy"
[ "$(xprop -id "$win" WM_CLASS)" = 'WM_CLASS(STRING) = "quillo", "quillo"' ] ||
    miss "the X11 class is not quillo: $(xprop -id "$win" WM_CLASS)"

# Into the tray with Esc, out by the way given; $1 names the way for messages.
trips=0
before=$failures
round_trip() {
    local way="$1" delay="$2"
    trips=$((trips + 1))
    xdotool key Escape
    wait_tenths=30 xvfb_wait_for in_tray "$win" || {
        miss "trip $trips: Esc did not send the window to the tray"
        return
    }
    sleep "$delay"
    case "$way" in
    click) click_icon 1 ;;
    double) click_icon --repeat 2 --delay 80 1 ;;
    menu) tray_menu Down Return ;;
    new)
        tray_menu Down Down Return
        local dialog=""
        wait_tenths=30 xvfb_wait_for eval 'dialog=$(xvfb_window_named 項目のプロパティ)'
        [ -n "$dialog" ] || {
            miss "trip $trips: the new to-do showed no dialog"
            return
        }
        wait_tenths=30 xvfb_wait_for in_front "$win" "$dialog" ||
            miss "trip $trips ($way): the window is not in front under its dialog ($(wm_state "$win"))"
        xdotool key Escape
        ;;
    day)
        tray_menu Down Down Down Return
        local day=""
        wait_tenths=30 xvfb_wait_for eval 'day=$(xvfb_window_named "今日 - 2024/05/03(金)の予定")'
        [ -n "$day" ] || {
            miss "trip $trips: the tray menu showed no day window"
            return
        }
        viewable "$win" && miss "trip $trips: the window left the tray with the day window"
        xdotool key Escape
        sleep "$delay"
        click_icon 1
        ;;
    esac
    wait_tenths=30 xvfb_wait_for in_front "$win" ||
        miss "trip $trips ($way after $delay s): $(viewable "$win" && echo mapped || echo unmapped)," \
            "$(wm_state "$win"), active $(active) instead of $win"
    no_icon || miss "trip $trips ($way): the icon stayed in the tray"
}
for delay in 0.2 0.35 0.5 0.7 0.9 1.0 1.1 1.2 1.3 1.5 1.8 2.0; do round_trip click "$delay"; done
for delay in 0.2 0.6 1.2; do round_trip double "$delay"; done
for delay in 0.2 0.5 0.9 1.4 2.0; do round_trip menu "$delay"; done
for delay in 0.2 0.5 0.9 1.4 2.0; do round_trip new "$delay"; done
for delay in 1.1 1.2 1.3 0.3 2.0; do round_trip day "$delay"; done
echo "xvfb-wm: $((trips - failures + before)) of $trips round trips through the tray ended in front"

# The property dialog, opened and closed again and again, stays where it stood.
xdotool key Down
places=()
for _ in $(seq 10); do
    xdotool key ctrl+i
    dialog=""
    wait_tenths=30 xvfb_wait_for eval 'dialog=$(xvfb_window_named 項目のプロパティ)'
    [ -n "$dialog" ] || fail "Ctrl+I showed no property dialog"
    sleep 0.3
    places+=("$(frame_of "$dialog")")
    xdotool key Escape
    wait_tenths=30 xvfb_wait_for eval '! xvfb_window_named 項目のプロパティ >/dev/null'
done
read -r x0 y0 _ <<<"${places[0]}"
read -r x9 y9 _ <<<"${places[9]}"
for place in "${places[@]}"; do
    [ "$place" = "${places[0]}" ] || miss "the property dialog moved by $((x9 - x0)),$((y9 - y0)) px in 10 openings:" \
        "${places[*]}"
    [ "$place" = "${places[0]}" ] || break
done
echo "xvfb-wm: the property dialog moved by $((x9 - x0)),$((y9 - y0)) px in 10 openings"

# A second copy hands its schedule over: shown by the running window within 3 s, also out of the
# tray, and the second copy ends with 0.
second_copy() { # $1: the schedule; $2: its title
    local status=0 started=$SECONDS
    run "$1" || status=$?
    [ "$status" -eq 0 ] || miss "the second copy with $2 ended with $status"
    wait_tenths=30 xvfb_wait_for in_front "$win" && [ "$(xdotool getwindowname "$win")" = "$2" ] ||
        miss "the running window did not show $2 in front within 3 s of the second copy's end" \
            "($(xdotool getwindowname "$win"), $(wm_state "$win"))"
    echo "xvfb-wm: the second copy handed $2 over in $((SECONDS - started)) s"
}
second_copy "$work/B.qlp" B
xdotool key Escape
wait_tenths=30 xvfb_wait_for in_tray "$win" || miss "Esc did not send the window to the tray"
second_copy "$work/plan.qlp" plan
no_icon || miss "the icon stayed in the tray after the second copy"

# Another program rewrites the open file: Ctrl+S asks instead of writing over it, and reloading
# keeps the other program's line.
xdotool windowactivate --sync "$win"
sleep 0.5
xdotool key Down Down space
sleep 0.5
plan Theirs >"$work/plan.qlp"
xdotool key ctrl+s
box=""
wait_tenths=30 xvfb_wait_for eval 'box=$(xdotool search --onlyvisible --name "^警告$" | head -n 1); [ -n "$box" ]' ||
    true
[ -n "$box" ] || miss "Ctrl+S wrote over a file another program had changed"
[ -z "$box" ] || xdotool windowactivate --sync "$box" key alt+r
sleep 0.5
grep -q Theirs "$work/plan.qlp" || miss "the other program's schedule was overwritten"

# A running copy that does not answer: the second shows the one-copy box and ends with 1.
running=$(pgrep -P "$app" | head -n 1) # $app is the subshell of run
kill -STOP "$running"
started=$SECONDS
run "$work/B.qlp" &
second=$!
box=""
wait_tenths=100 xvfb_wait_for eval 'box=$(xdotool search --onlyvisible --name "^エラー$" | head -n 1); [ -n "$box" ]' || true
[ -n "$box" ] || miss "no box from a second copy left unanswered"
[ -z "$box" ] || xdotool windowactivate --sync "$box" key Return
status=0
wait "$second" || status=$?
kill -CONT "$running"
[ "$status" -eq 1 ] || miss "the unanswered second copy ended with $status, not 1"
echo "xvfb-wm: an unanswered second copy gave up after $((SECONDS - started)) s with $status"

[ "$failures" -eq 0 ] || fail "$failures checks failed"
echo "xvfb-wm: 1 passed, 0 failed"
