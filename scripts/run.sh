#!/usr/bin/env bash
# Sets up, builds, makes a sample music folder and runs the player host with the server plug-in,
# and, when a display exists, the dravo client pointed at it (settings in build/dravo.ini).
# Environment: DRAVO_PORT (default 8081), DRAVO_MUSIC (default: a generated sample folder),
# DRAVO_AUDIO (an mpv audio output; default: the system's when a sound device exists, else null).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh run
# Only what runs: the host and the plug-in, and the client when there is a display for it.
targets="player_host gen_dravo_srv"
[ -n "${DISPLAY:-}" ] && targets+=" dravo"
BUILD_TARGETS=$targets scripts/build.sh
build=$(pwd)/${BUILD_DIR:-build}
port=${DRAVO_PORT:-8081}
music=${DRAVO_MUSIC:-$build/sample-music}
if [ -z "${DRAVO_MUSIC:-}" ] && [ ! -d "$music" ]; then
  scripts/make_sample_music.sh "$music"
fi
audio=${DRAVO_AUDIO:-}
if [ -z "$audio" ]; then
  if [ -d /dev/snd ] || [ -n "${PULSE_SERVER:-}" ] || [ -S "${XDG_RUNTIME_DIR:-/nonexistent}/pulse/native" ]; then
    audio=auto
  else
    audio=null
  fi
fi
plugins=$build/bin/plugins
# The plug-in reads its settings beside itself; point it at the sample folder and port.
printf '[Settings]\r\nport=%s\r\nmedia_root=%s/\r\n' "$port" "${music%/}" > "$plugins/gen_dravo_srv.ini"
echo "Server: http://127.0.0.1:$port/ (try: curl http://127.0.0.1:$port/status)"
echo "Music:  $music    Audio output: $audio    Stop with Ctrl+C."
# The plug-in writes its temporary playlist to $TMP, else to the current folder.
export TMP=${TMP:-${TMPDIR:-/tmp}}
args=(--plugins "$plugins" --state-dir "$build/host-state")
# The first run starts with the music in the playlist; later runs keep the remembered one.
[ -f "$build/host-state/playlist.m3u8" ] || args+=(--add "$music")
[ "$audio" = auto ] || args+=(--audio-output "$audio")
[ -n "${DISPLAY:-}" ] && args+=(--gui)
if [ -z "${DISPLAY:-}" ] || [ ! -x "$build/bin/dravo" ]; then
  exec "$build/bin/player_host" "${args[@]}"
fi

# The client's settings beside the build: made once, its server kept pointing at this host.
ini=$build/dravo.ini
if [ ! -f "$ini" ]; then
  printf '[Settings]\nServer1=http://127.0.0.1:%s/\nUpdateOnStartup=false\n' "$port" > "$ini"
else
  sed -i "s|^Server1=.*|Server1=http://127.0.0.1:$port/|" "$ini"
fi
"$build/bin/player_host" "${args[@]}" &
host=$!
# Let the server listen first, so that the client's first list is not empty.
for _ in $(seq 50); do
  curl -s -o /dev/null "http://127.0.0.1:$port/version" && break
  sleep 0.1
done
echo "Client: $build/bin/dravo /i $ini (right-click its tray icon)"
"$build/bin/dravo" /i "$ini" &
client=$!
# Ctrl+C reaches both; when either ends, the other is asked to end too.
trap 'kill -TERM "$host" "$client" 2>/dev/null || true' INT TERM
status=0
wait -n "$host" "$client" || status=$?
kill -TERM "$host" "$client" 2>/dev/null || true
wait "$host" "$client" 2>/dev/null || true
exit "$status"
