#!/usr/bin/env bash
# Changes the user makes survive a kill: with dravo's window up on Xvfb (openbox as window
# manager), the Server button, a filter applied with Enter and a sleep time set in the sleep
# dialog each reach the settings file at once, and after kill -9 the file holds all three and no
# key that only the exit save writes.
#   tests/client_ui/kill_check.sh
# Exit status 0 when every check passed, 77 when a tool or a program is missing.
set -euo pipefail
cd "$(dirname "$0")/../.."
bin=${DRAVO_BIN:-$(pwd)/${BUILD_DIR:-build}/bin}
source tests/client_ui/desktop.sh
need_desktop Xvfb openbox xdotool xprop dbus-run-session
on_private_bus "$@"
tmp=$(mktemp -d)
pids=()
trap 'for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done; wait; rm -rf "$tmp"' EXIT
failures=0
pass() { echo "ok   $*"; }
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
ini="$tmp/dravo.ini"
holds() { grep -qx "$1" "$ini"; }  # the settings file holds this line

start_server
start_desktop "$tmp"
# Two entries for the one stand-in, so the Server button moves to a server that answers too.
printf '[Settings]\nServer1=%s\nServer2=%s\nUpdateOnStartup=false\nRefreshInterval=3600\n' \
  "$server_url" "$server_url" >"$ini"
"$bin/dravo" /i "$ini" 2>"$tmp/dravo.err" &
dravo=$!
pids+=($dravo)
# The window comes up with the search edit focused. Tab from there reaches Server ninth (list,
# slider, shuffle, five player buttons, Server) and Sleep eleventh; Shift+Tab the filter edit.
show_window 30 || { fail "the window did not come up: $(tail -5 "$tmp/dravo.err")"; exit 1; }
xdotool key --delay 50 Tab Tab Tab Tab Tab Tab Tab Tab Tab space
until_ok 10 holds "CurrentServer=2" && pass "the Server button writes CurrentServer at once" \
  || fail "CurrentServer not written: $(tr '\n' ' ' <"$ini")"

show_window 10 || fail "the window did not come up again"
xdotool key --delay 50 shift+Tab ctrl+a
xdotool type --delay 50 "jazz"
xdotool key Return
until_ok 10 holds "MRUFilter1=jazz" && pass "an applied filter writes the MRU list at once" \
  || fail "MRUFilter1 not written: $(tr '\n' ' ' <"$ini")"

show_window 10 || fail "the window did not come up again"
xdotool key --delay 50 Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab space
if until_ok 10 is_visible "^Sleep$"; then
  xdotool key --delay 50 ctrl+a 1 Tab ctrl+a 3 0 Return
  until_ok 10 holds "SleepMinutes=30" && holds "SleepHours=1" \
    && pass "OK in the sleep dialog writes the sleep time at once" \
    || fail "sleep time not written: $(tr '\n' ' ' <"$ini")"
else
  fail "Tab to Sleep and space did not open the sleep dialog"
fi

kill -KILL "$dravo"
wait "$dravo" 2>/dev/null || true
for line in CurrentServer=2 MRUFilter1=jazz SleepHours=1 SleepMinutes=30; do
  holds "$line" && pass "after kill -9 the file holds $line" || fail "after kill -9 no $line"
done
# The exit save would write every key; a kill leaves only those written on their change.
! grep -q "^UseOSD=" "$ini" && pass "nothing but the changes was written" \
  || fail "more than the changes was written: $(tr '\n' ' ' <"$ini")"

[ "$failures" -eq 0 ] && echo "all kill checks passed" || echo "$failures kill checks failed"
[ "$failures" -eq 0 ]
