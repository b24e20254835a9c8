#!/usr/bin/env bash
# The desktop's media-player interface as a real desktop client uses it: playerctl on a session
# bus of its own against dravo (under Xvfb) and the real player host with the plug-in and null
# audio, playing two 60-second tones. The client's status timer is set to a minute, so what
# shows within a second came by the server's push.
# Usage: playerctl_check.sh BUILD_DIR. Exits 77 (skipped) when a tool or a program is missing.
set -uo pipefail
build=$1
bin=$build/bin
skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*"; exit 1; }
for tool in playerctl Xvfb dbus-run-session curl sox; do
  command -v "$tool" >/dev/null || skip "$tool is missing (scripts/setup.sh installs it)"
done
for program in "$bin/dravo" "$bin/player_host" "$bin/plugins/gen_dravo_srv.so"; do
  [ -e "$program" ] || skip "$program is not built"
done
source "$(dirname "$0")/../client_ui/desktop.sh"  # on_private_bus, until_ok
on_private_bus "$@"

work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
Xvfb -displayfd 3 -nolisten tcp -screen 0 800x600x24 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
until_ok 20 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=:$(head -n1 "$work/display")

mkdir -p "$work/music"
for name in "Alpha Tone" "Beta Tone"; do
  sox -n -b 16 -r 22050 -c 1 "$work/music/$name.wav" synth 60 sine 440 || fail "sox"
done
source "$(dirname "$0")/../support/player_host.sh"  # start_player_host
start_player_host "$bin" "$work" "$work/music" || fail "the host did not answer"
url=http://127.0.0.1:$port
curl -s "$url/play" >/dev/null

printf '[Settings]\nServer1=%s/\nUpdateOnStartup=false\nRefreshInterval=60\n' "$url" \
  > "$work/dravo.ini"
"$bin/dravo" /i "$work/dravo.ini" >"$work/dravo.log" 2>&1 &
pids+=($!)
pc() { playerctl -p dravo "$@"; }
state() { curl -s "$url/api/state"; }
json_number() { sed -n "s/.*\"$1\":\(-\?[0-9]*\).*/\1/p"; }
# The length arrives with the first push.
until_ok 20 sh -c 'playerctl -p dravo metadata mpris:length | grep -q .' \
  || { cat "$work/dravo.log"; fail "dravo did not show the track's length"; }

failures=0
check() {  # check NAME COMMAND...: reports and counts
  if "$@"; then echo "ok: $name"; else echo "FAIL: $name"; failures=$((failures + 1)); fi
}

name="position moves while playing"
start=$(date +%s.%N); first=$(pc position); sleep 1; second=$(pc position); end=$(date +%s.%N)
check awk -v a="$first" -v b="$second" -v t="$start" -v u="$end" \
  'BEGIN { exit !(b - a > 0.8 && b - a < u - t + 0.2) }'

name="mpris:length matches the track"
length_s=$(state | json_number length_s)
check test "$(pc metadata mpris:length)" = "$((length_s * 1000000))"

name="xesam:url names the playing file"
check test "$(pc metadata xesam:url)" = "file://$work/music/Alpha%20Tone.wav"

name="position 10 lands within a second of 10"
pc position 10
near_ten() {
  local server client
  server=$(state | json_number position_ms)
  client=$(pc position)
  awk -v s="$server" -v c="$client" 'BEGIN { exit !(s >= 9000 && s <= 11500 && c >= 9 && c <= 11.5) }'
}
check until_ok 1 near_ten

name="loop Playlist sets repeat on the server"
pc loop Playlist
check until_ok 1 sh -c "curl -s '$url/status' | grep -q '^repeat: 1'"
name="loop reads Playlist, and None clears it"
pc loop None
check until_ok 1 sh -c "curl -s '$url/status' | grep -q '^repeat: 0' && [ \"\$(playerctl -p dravo loop)\" = None ]"

name="a title change made elsewhere shows within a second"
pc --follow metadata title >"$work/titles" 2>&1 &
follow=$!
pids+=($follow)
until_ok 5 grep -q "Alpha Tone" "$work/titles"
curl -s "$url/next" >/dev/null
check until_ok 1 grep -q "Beta Tone" "$work/titles"

if [ "$failures" -ne 0 ]; then
  echo "--- dravo"; cat "$work/dravo.log"
  exit 1
fi
echo "all passed"
