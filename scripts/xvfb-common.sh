# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the Xvfb checks (sourced): a private display, and waiting for the program to end.

# Starts Xvfb on a free-looking display number; sets $display and $xvfb.
xvfb_start() {
    display=":$((200 + RANDOM % 100))"
    Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    for _ in $(seq 50); do DISPLAY="$display" xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
}

# Waits up to ten seconds for process $2 to end; the check $1 fails when it does not.
xvfb_wait_exit() {
    local name="$1" pid="$2"
    for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$pid" 2>/dev/null; then
        echo "$name: the program did not exit"
        kill "$pid"
        exit 1
    fi
    wait "$pid"
}

# Starts program $1 on $work/plan.qlp with today fixed and waits for its window; sets $app and $win.
xvfb_open_plan() {
    QUILLO_TODAY=2024-05-03 QUILLO_CONFIG_DIR="$work" DISPLAY="$display" "$1" "$work/plan.qlp" &
    app=$!
    win=$(DISPLAY="$display" timeout 20 xdotool search --sync --onlyvisible --name "^plan$" | head -n 1)
}

# Presses each key in the window $win.
xvfb_keys() {
    DISPLAY="$display" xdotool windowfocus --sync "$win"
    for k in "$@"; do DISPLAY="$display" xdotool key --delay 100 "$k"; sleep 0.25; done
}

# Runs the check "$@" every tenth of a second until it holds, for up to $wait_tenths (50) tenths.
xvfb_wait_for() {
    for _ in $(seq "${wait_tenths:-50}"); do "$@" && return 0; sleep 0.1; done
    return 1
}

# A tray panel (trayer) on the top edge of $display; sets $tray. Fails when no panel shows.
xvfb_tray_start() {
    DISPLAY="$display" trayer --edge top --align right --widthtype request --height 32 --SetDockType true \
        --transparent false >/dev/null 2>&1 &
    tray=$!
    xvfb_wait_for eval 'DISPLAY="$display" xdotool search --onlyvisible --name "^panel$" >/dev/null 2>&1'
}

# The centre of the program's tray icon (a window of class quillo inside the panel), or nothing.
xvfb_icon_centre() {
    DISPLAY="$display" xwininfo -root -tree | awk '/\("quillo" / && $0 ~ /x[0-9]+\+-?[0-9]+\+-?[0-9]+ +\+/ {
        split($(NF-1), g, /[x+]/); split($NF, a, /\+/);
        if (g[1] + 0 > 1 && g[1] + 0 <= 64 && g[2] + 0 <= 64) { print a[2] + int(g[1] / 2), a[3] + int(g[2] / 2); exit } }'
}

# The viewable window of the program (X11 instance name quillo) whose title is exactly $1; the
# tray icon, a small window of the same class and title, is not one.
xvfb_window_named() {
    local w
    for w in $(DISPLAY="$display" xdotool search --classname '^quillo$' 2>/dev/null); do
        [ "$(DISPLAY="$display" xdotool getwindowname "$w" 2>/dev/null)" = "$1" ] || continue
        DISPLAY="$display" xwininfo -id "$w" 2>/dev/null |
            awk '/IsViewable/ { v = 1 } /Width:/ { w = $NF } END { exit !(v && w > 64) }' && { echo "$w"; return 0; }
    done
    return 1
}
