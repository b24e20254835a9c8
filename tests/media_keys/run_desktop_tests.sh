#!/usr/bin/env bash
# Runs the media keys' desktop tests inside a private X server and session bus: Xvfb on a display
# it picks itself (-noreset keeps the key map between clients), the play key's shifted Pause
# level dropped so that xdotool's XF86AudioPause is the pause key of its own, then the tests
# under dbus-run-session.
# Usage: run_desktop_tests.sh <test program> [its arguments...]. Exits 77 (skipped) when a tool
# or the program is missing.
set -euo pipefail
if [ ! -x "${1:-}" ]; then
  echo "${1:-the test program} is not built: skipped"  # a build of selected targets only
  exit 77
fi
for tool in Xvfb xdotool xmodmap dbus-run-session gdbus; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: skipped"; exit 77; }
done
work=$(mktemp -d)
xvfb_pid=""
cleanup() {
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 640x480x24 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 200); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
if [ ! -s "$work/display" ]; then
  echo "Xvfb did not start:"
  cat "$work/xvfb.log"
  exit 1
fi
export DISPLAY=":$(head -n1 "$work/display")"
xmodmap -e 'keycode 172 = XF86AudioPlay'
unset DBUS_SESSION_BUS_ADDRESS
dbus-run-session -- "$@"
