#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a command on a private session bus where the tests' recording notification service owns
# org.freedesktop.Notifications, so that a check can see what the program sends and click on it:
#
#   scripts/notify-session.sh SERVER [SERVER-OPTIONS] -- COMMAND [ARGS...]
#
# SERVER is the built tests/quillo_notify_server. Its options: --caps LIST (default actions,body),
# --hang notify|all (never answers), --invoke ACTION (clicks ACTION on every notification), and
# --no-server (nothing owns the name: the program's fallback). The command finds
#   $QUILLO_NOTIFY_SERVER  the server program, also a client of the running server:
#                          --wait-calls N [--timeout S]  until N notifications were sent (exit 1 if not)
#                          --calls                       every Notify call, a JSON array
#                          --click ID ACTION             the user clicks ACTION ("today", "default")
#                          --close ID                    the user dismisses it
#   $QUILLO_NOTIFY_LOG     the calls, one JSON line each, as they come
# The bus has no activatable services. The exit status is the command's.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"

if [ -z "${QUILLO_NOTIFY_SESSION:-}" ]; then
    command -v dbus-run-session >/dev/null || { echo "notify-session: dbus-run-session is missing (package dbus)" >&2; exit 2; }
    export QUILLO_NOTIFY_SESSION=1
    exec dbus-run-session --config-file="$here/../tests/data/session-bus.conf" -- "$0" "$@"
fi

server="${1:?usage: notify-session.sh SERVER [SERVER-OPTIONS] -- COMMAND [ARGS...]}"
shift
options=()
start=1
while [ $# -gt 0 ] && [ "$1" != -- ]; do
    if [ "$1" = --no-server ]; then start=0; else options+=("$1"); fi
    shift
done
[ "${1:-}" = -- ] && shift
[ $# -gt 0 ] || { echo "notify-session: no command given" >&2; exit 2; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export QUILLO_NOTIFY_SERVER="$server" QUILLO_NOTIFY_LOG="$work/calls.jsonl"
: >"$QUILLO_NOTIFY_LOG"
pid=""
if [ "$start" -eq 1 ]; then
    "$server" "${options[@]}" --log "$QUILLO_NOTIFY_LOG" >"$work/out" &
    pid=$!
    for _ in $(seq 100); do grep -q '^ready$' "$work/out" 2>/dev/null && break; sleep 0.1; done
    grep -q '^ready$' "$work/out" || { echo "notify-session: the server did not start" >&2; exit 2; }
fi
"$@"
status=$?
if [ -n "$pid" ]; then
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
fi
exit "$status"
