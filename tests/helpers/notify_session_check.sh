#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# scripts/notify-session.sh as a check of the whole program will use it: what is sent on its bus
# is recorded and can be clicked on; without the server, or with a silent one, nobody answers.
set -euo pipefail
script="$1" server="$2"
fail() { echo "notify-session check: $*" >&2; exit 1; }

send='gdbus call --session --timeout 2 --dest org.freedesktop.Notifications \
    --object-path /org/freedesktop/Notifications --method org.freedesktop.Notifications.Notify -- \
    "Quillory Plan" 0 quillo "遅延 1件" "a（遅延）" "[\"today\", \"今日の予定を表示\"]" "{\"urgency\": <byte 2>}" -1'

"$script" "$server" -- bash -c "set -e; $send"' >/dev/null
    "$QUILLO_NOTIFY_SERVER" --wait-calls 1 --timeout 5
    grep -q "\"summary\":\"遅延 1件\"" "$QUILLO_NOTIFY_LOG"
    "$QUILLO_NOTIFY_SERVER" --calls | grep -q "\"urgency\":2"
    "$QUILLO_NOTIFY_SERVER" --click 1 today
    ! "$QUILLO_NOTIFY_SERVER" --wait-calls 2 --timeout 1' || fail "a notification was not recorded as sent"

"$script" "$server" --no-server -- bash -c "! $send 2>/dev/null" || fail "something answered without the server"
"$script" "$server" --hang notify -- bash -c "set -e; ! $send 2>/dev/null"'
    "$QUILLO_NOTIFY_SERVER" --wait-calls 1 --timeout 5' || fail "the silent server answered or recorded nothing"
"$script" "$server" -- false && fail "the command's status was lost"
echo "notify-session check: fine"
