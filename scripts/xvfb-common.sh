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
