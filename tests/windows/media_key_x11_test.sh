#!/usr/bin/env bash
# A media key typed on the X server (xdotool) reaches dravo_shellhook.dll's hook under wine.
# Wine sees the keyboard only while one of its windows has the X focus, so the waiting program
# shows a window and the key goes there. Usage: media_key_x11_test.sh <bin folder>
# Needs WINEPREFIX, DISPLAY and DRAVO_WINE set (scripts/windows.sh sets them).
set -uo pipefail
bin=$1
out=$(mktemp)
trap 'rm -f "$out"' EXIT
(cd "$bin" && exec "${DRAVO_WINE:?}" dravo_windows_ui_tests.exe --wait-key) > "$out" 2>&1 &
waiter=$!
for _ in $(seq 1 100); do grep -q ready "$out" && break; sleep 0.1; done
window=$(xdotool search --name 'hook target' | head -1)
[ -n "$window" ] && xdotool windowfocus --sync "$window"
xdotool key XF86AudioNext
wait "$waiter"
# Next track is application command 11, in bits 16 to 27.
if grep -q '^key 0xb0000' "$out"; then
  echo "ok: XF86AudioNext from the X server arrived as the next-track command"
else
  echo "FAIL: no next-track command from the X server: $(cat "$out")"
  exit 1
fi
