#!/usr/bin/env bash
# System test of the Windows plug-in: winamp_stub.exe with gen_dravo_srv.dll under wine, driven
# over HTTP from this side. Usage: stub_http_test.sh <bin folder> <work folder>
# Needs WINEPREFIX, DISPLAY and DRAVO_WINE set (scripts/windows.sh sets them).
set -uo pipefail
bin=$1
work=$2
wine=${DRAVO_WINE:?}
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# expect <what> <expected> <actual>, byte for byte.
expect() {
  if [ "$2" == "$3" ]; then echo "ok: $1"; else fail "$1: expected $(printf %q "$2"), got $(printf %q "$3")"; fi
}
windows_path() { echo "Z:${1//\//\\}"; }

player=$work/player
music=$work/music
mkdir -p "$player/Plugins" "$music/Jazz" "$music/Värld" "$music/Rock"
cp "$bin/winamp_stub.exe" "$player/"
cp "$bin/plugins/gen_dravo_srv.dll" "$player/Plugins/"
# Names in UTF-8 here reach the plug-in as Windows-1252 bytes through wine.
for f in "Jazz/blue note.mp3" "Jazz/live at home.ogg" "Värld/Ä dag.mp3" "Rock/loud.wav" "Rock/skip.flac"; do
  printf 'x' > "$music/$f"
done
port=$(( 20000 + RANDOM % 12000 ))
while ss -ltn 2>/dev/null | grep -q ":$port "; do port=$(( 20000 + RANDOM % 12000 )); done
printf '[Settings]\r\nport=%s\r\nmedia_root=%s\\\r\n' "$port" "$(windows_path "$music")" \
  > "$player/Plugins/gen_dravo_srv.ini"
url=http://127.0.0.1:$port
get() { curl -s -m 20 "$url$1"; }

# The full Windows path of a track, as the plug-in lists it, in Windows-1252.
track() { printf '%s\\%s' "$(windows_path "$music")" "$1" | iconv -f UTF-8 -t CP1252; }

(cd "$player" && exec "$wine" winamp_stub.exe 'Plugins\gen_dravo_srv.dll') > "$work/stub.out" 2>&1 &
stub=$!
for _ in $(seq 1 120); do
  get /version > /dev/null && break
  kill -0 "$stub" 2>/dev/null || break
  sleep 0.5
done

expect "/version" "dravo_srv v1.14" "$(get /version)"

get '/volume?volume=50' > /dev/null
get '/playmode?repeat=on&shuffle=toggle' > /dev/null
# The dot keeps the final LF from being cut off by the shell.
expect "/status after /volume and /playmode" \
  "$(printf 'playing: 0\nrepeat: 1\nshuffle: 1\nvolume: 50\nfilter: \n.')" "$(get /status; echo .)"

expect "/set_filter VÄRLD" "ok" "$(get '/set_filter?filter=V%C4RLD')"
expect "/list after VÄRLD" "$(track 'Värld\Ä dag.mp3')" "$(get /list)"
expect "/get_filter keeps the code page" "$(printf 'V\xc4RLD')" "$(get /get_filter)"

expect "/set_filter jazz -live" "ok" "$(get '/set_filter?filter=jazz%20-live')"
expect "/list after jazz -live" "$(track 'Jazz\blue note.mp3')" "$(get /list)"

get '/set_filter?filter=' > /dev/null
expected_all=$(for f in 'Jazz\blue note.mp3' 'Jazz\live at home.ogg' 'Rock\loud.wav' 'Värld\Ä dag.mp3'; do
  track "$f"; echo; done | sort)
list=$(get /list)
expect "/list after the empty filter (sorted)" "$expected_all" "$(echo "$list" | sort)"

get '/play?track=2' > /dev/null
expect "/get_playing after /play?track=2" "1" "$(get /get_playing)"
second=$(echo "$list" | sed -n 2p)
title=${second##*\\}
expect "/title is the second entry" "${title%.*}" "$(get /title)"

# The browser page: served from the DLL (gzip when accepted), no notice on the player.
page=$(curl -s -m 20 "$url/")
[[ "$page" == "<!DOCTYPE html>"* ]] && echo "ok: / serves the page" || fail "/ did not serve the page: ${page:0:80}"
curl -s -m 20 -o /dev/null -D "$work/page.head" -H 'Accept-Encoding: gzip' "$url/app.js"
grep -qi '^Content-Encoding: gzip' "$work/page.head" && echo "ok: the page's script comes gzip-compressed" \
  || fail "no gzip for /app.js: $(cat "$work/page.head")"
for path in /favicon.ico /robots.txt /manifest.webmanifest; do
  code=$(curl -s -m 20 -o /dev/null -w '%{http_code}' "$url$path")
  expect "$path answered" 200 "$code"
done
# The state as JSON: the Windows-1252 title arrives as UTF-8; a seek jumps with message 106.
state=$(get /api/state)
grep -q '"state":"playing"' <<< "$state" && echo "ok: /api/state says playing" || fail "/api/state: $state"
get '/set_filter?filter=V%C4RLD' > /dev/null
get '/play?track=1' > /dev/null
expect "/api/state title in UTF-8" '"title":"Ä dag"' "$(get /api/state | grep -o '"title":"[^"]*"')"
expect "/api/list search in UTF-8" '"matches":1' "$(get '/api/list?q=%C3%A4%20DAG' | grep -o '"matches":[0-9]*')"
expect "/api/seek jumps to 61 s" '"position_ms":61000' "$(get '/api/seek?ms=61000' | grep -o '"position_ms":[0-9-]*')"
expect "/get_filter after the page's filter (code page)" "$(printf 'V\xc4RLD')" \
  "$(get '/api/filter?text=V%C3%84RLD' > /dev/null; get /get_filter)"
get '/set_filter?filter=' > /dev/null

# A client that connects and says nothing must neither hold up others nor stay for ever.
exec 3<>"/dev/tcp/127.0.0.1/$port"
expect "/version beside a silent client" "dravo_srv v1.14" "$(get /version)"
if timeout 30 cat <&3 > /dev/null; then echo "ok: the silent client was dropped"
else fail "the silent client was not dropped within 30 s"; fi
exec 3<&-
grep -q 'Error: Receive() returned 10060' "$player/Plugins/gen_dravo_srv.log" \
  && echo "ok: the log names the silent client's time-out (10060)" \
  || fail "no 10060 line in gen_dravo_srv.log"
# The announcement is on (no setting turns it off); wine's dnsapi lacks the registration calls,
# which must leave the plug-in serving and the log quiet.
if grep -q 'Network announcement' "$player/Plugins/gen_dravo_srv.log"; then
  fail "the missing registration calls were logged as a failure"
else
  echo "ok: the missing service registration leaves the plug-in serving, quietly"
fi

expect "/shutdown" "" "$(get /shutdown)"
for _ in $(seq 1 60); do kill -0 "$stub" 2>/dev/null || break; sleep 0.5; done
if kill -0 "$stub" 2>/dev/null; then
  fail "the stand-in host is still running 30 s after /shutdown"
  kill "$stub"
fi
wait "$stub"; code=$?
expect "stand-in host's exit code" 0 "$code"
grep -q 'winamp_stub: closed' "$work/stub.out" && echo "ok: quit ran" || fail "quit did not run"
grep -q '^current_filter=$' <(tr -d '\r' < "$player/Plugins/gen_dravo_srv.ini") \
  && echo "ok: the filter was saved" || fail "current_filter not saved"

# The dialog: types into its edits and presses OK; the settings file must show the apply rules.
(cd "$player" && timeout 120 "$wine" winamp_stub.exe 'Plugins\gen_dravo_srv.dll' --config 8123 \
  'C:\songs' 'mp3 flac') > "$work/config.out" 2>&1 || fail "the dialog run failed: $(cat "$work/config.out")"
ini=$(tr -d '\r' < "$player/Plugins/gen_dravo_srv.ini")
for line in 'port=8123' 'media_root=C:\songs\' 'file_extensions=mp3 flac'; do
  grep -qxF "$line" <<< "$ini" && echo "ok: dialog stored $line" || fail "dialog did not store $line: $ini"
done

echo "stub log:"; cat "$work/stub.out"
[ "$failures" -eq 0 ] && echo "PASS: Windows plug-in over HTTP" || echo "$failures check(s) failed"
[ "$failures" -eq 0 ]
