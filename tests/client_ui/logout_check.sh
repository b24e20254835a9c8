#!/usr/bin/env bash
# A logout under the client, again and again: the X server, the window manager and the tray host
# end together while dravo runs with its window shown, and dravo must end in order, as it does on
# SIGTERM: status 0 (no crash, no exit(1) from the toolkit), its settings saved, no complaint
# about objects torn down under other threads.
#   tests/client_ui/logout_check.sh [ROUNDS]      (default 20)
# Each round starts Xvfb on a free display with openbox and trayer, dravo against a stand-in
# server (client_ui_fake_server) on a private session bus, brings the window up with Ctrl+Play
# and then ends Xvfb, openbox and trayer with one kill. A last round logs out while the start-up
# still waits for the server's answer (its filter held back). Exit status 0 when every round
# passed, 77 when a tool or a program is missing.
set -euo pipefail
cd "$(dirname "$0")/../.."
rounds=${1:-20}
bin=${DRAVO_BIN:-$(pwd)/${BUILD_DIR:-build}/bin}
source tests/client_ui/desktop.sh
need_desktop Xvfb openbox trayer xdotool xwininfo xprop dbus-run-session
on_private_bus "$@"
tmp=$(mktemp -d)
pids=()
end_all() {
  [ ${#pids[@]} -gt 0 ] || return 0
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait "${pids[@]}" 2>/dev/null || true
  pids=()
}
trap 'end_all; rm -rf "$tmp"' EXIT
start_server || exit 1
server_pid=${pids[0]}
pids=()  # from here on, the round's programs
trap 'end_all; kill "$server_pid"; wait; rm -rf "$tmp"' EXIT

# round N: one logout; prints what went wrong and fails, or passes silently.
round() {  # round N [startup]
  local dir="$tmp/round$1" dravo status=0 panel
  mkdir "$dir"
  start_desktop "$dir" tray || return 1
  panel=$(xdotool search --classname "^panel$" | head -1)
  printf '[Settings]\nServer1=%s\nUpdateOnStartup=false\nRefreshInterval=1\n' "$server_url" >"$dir/dravo.ini"
  "$bin/dravo" /i "$dir/dravo.ini" 2>"$dir/dravo.err" &
  dravo=$!
  pids+=($dravo)
  until_ok 20 sh -c "xwininfo -tree -id $panel | grep -q '(\"dravo\" \"dravo\")'" || { echo "no tray icon"; return 1; }
  if [ "${2:-}" = startup ]; then
    sleep 0.5  # the start-up waits for the held filter
  else
    show_window || { echo "the window did not come up"; return 1; }
    sleep 0.$((RANDOM % 10))  # the logout at any moment of the status ticks
  fi
  kill -TERM "$xvfb_pid" "$wm_pid" "$tray_pid"
  wait "$xvfb_pid" "$wm_pid" "$tray_pid" 2>/dev/null || true
  until_ok 20 gone "$dravo" || { echo "dravo still runs 20 s after the logout"; return 1; }
  wait "$dravo" || status=$?
  local problems=()
  [ "$status" -eq 0 ] || problems+=("status $status")
  grep -q '^CurrentServer=' "$dir/dravo.ini" || problems+=("settings not saved")
  ! grep -q 'another thread' "$dir/dravo.err" || problems+=("objects torn down under another thread")
  if [ ${#problems[@]} -gt 0 ]; then
    echo "${problems[*]}; dravo's errors:"
    tail -20 "$dir/dravo.err"
    return 1
  fi
}

failures=0
for n in $(seq "$rounds"); do
  if round "$n" >"$tmp/result" 2>&1; then
    echo "ok   logout $n: dravo ended in order"
  else
    echo "FAIL logout $n: $(cat "$tmp/result")"
    failures=$((failures + 1))
  fi
  end_all  # what a failed round left running
done
kill "$server_pid"
start_server --hold-filter || exit 1
server_pid=${pids[0]}
pids=()
if round start startup >"$tmp/result" 2>&1; then
  echo "ok   logout during the start-up: dravo ended in order"
else
  echo "FAIL logout during the start-up: $(cat "$tmp/result")"
  failures=$((failures + 1))
fi
end_all
rounds=$((rounds + 1))
[ "$failures" -eq 0 ] && echo "all $rounds logouts passed" || echo "$failures of $rounds logouts failed"
[ "$failures" -eq 0 ]
