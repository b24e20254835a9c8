#!/usr/bin/env bash
# dravo.exe under wine against the real Linux player_host with the plug-in, over loopback:
# client_driver.exe starts the client, drives its window and checks the requests, the window and
# the settings file; this side starts the host and takes the screenshots the driver asks for.
# Usage: client_driver_test.sh <Windows bin folder> <Linux bin folder> <work folder> <shots folder>
# Needs WINEPREFIX, DISPLAY and DRAVO_WINE set (scripts/windows.sh sets them), and sox.
set -uo pipefail
win_bin=$1
host_bin=$2
work=$3
shots=$4
windows_path() { echo "Z:${1//\//\\}"; }

music=$work/music
mkdir -p "$music/Jazz" "$music/Rock" "$work/client" "$shots"
for f in "Jazz/blue note" "Jazz/live at home" "Rock/loud one" "Rock/quiet"; do
  sox -n -b 16 -r 8000 -c 1 "$music/$f.wav" synth 30 sine 440
done
source "$(dirname "$0")/../support/player_host.sh"  # start_player_host
start_player_host "$host_bin" "$work" "$music" file_extensions=wav || exit 1
host=$host_pid

cp "$win_bin/dravo.exe" "$win_bin/dravo_shellhook.dll" "$win_bin/client_driver.exe" "$work/client/"
# The driver asks for a screenshot with shot-<name>.req and waits for shot-<name>.done.
(
  while kill -0 "$host" 2>/dev/null; do
    for request in "$work"/client/shot-*.req; do
      [ -e "$request" ] || continue
      name=$(basename "$request" .req)
      import -window root "$shots/client_${name#shot-}.png"
      mv "$request" "${request%.req}.done"
    done
    sleep 0.1
  done
) &
shooter=$!
(cd "$work/client" && exec "${DRAVO_WINE:?}" client_driver.exe "$port" "$(windows_path "$work/client")") \
  2>&1 | tr -d '\r'
status=${PIPESTATUS[0]}
curl -s -o /dev/null "http://127.0.0.1:$port/shutdown"
for _ in $(seq 1 50); do kill -0 "$host" 2>/dev/null || break; sleep 0.1; done
kill "$host" 2>/dev/null
wait "$host" 2>/dev/null
wait "$shooter" 2>/dev/null
[ "$status" -eq 0 ] && echo "PASS: the Windows client against the real host (screenshots in $shots)" \
  || echo "FAIL: the Windows client against the real host"
[ "$status" -eq 0 ]
