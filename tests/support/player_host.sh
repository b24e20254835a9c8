# Shell helper of the checks that run the real player host with the plug-in, sourced by
# playerctl_check.sh and client_driver_test.sh.

# start_player_host HOST_BIN WORK MUSIC [INI LINES...]: the host with the plug-in copied to
# WORK/plugins, the music folder added and null audio, on a free port, its log in WORK/host.log.
# Another test may take the port between the look and the bind, so a host that cannot listen is
# started again on another port. Sets port and host_pid and appends the pid to pids.
start_player_host() {
  local bin=$1 work=$2 music=$3 attempt tries
  shift 3
  mkdir -p "$work/plugins" "$work/state"
  cp "$bin/plugins/gen_dravo_srv.so" "$work/plugins/"
  for attempt in 1 2 3 4 5; do
    # Below the ephemeral range, so no outgoing connection holds it.
    port=$((20000 + RANDOM % 12000))
    ss -ltn 2>/dev/null | grep -q ":$port " && continue
    { printf '[Settings]\r\nport=%s\r\nmedia_root=%s/\r\n' "$port" "$music"
      local line; for line in "$@"; do printf '%s\r\n' "$line"; done
    } >"$work/plugins/gen_dravo_srv.ini"
    TMP=$work "$bin/player_host" --plugins "$work/plugins" --audio-output null \
      --state-dir "$work/state" --clear --add "$music" >"$work/host.log" 2>&1 &
    host_pid=$!
    # Ours when the listening socket on the port is the host's own and it answers.
    for tries in $(seq 200); do
      grep -q 'Listen() failed' "$work/host.log" && break
      kill -0 "$host_pid" 2>/dev/null || break
      if ss -ltnpH "sport = :$port" 2>/dev/null | grep -q "pid=$host_pid," \
        && curl -sf -o /dev/null --max-time 1 "http://127.0.0.1:$port/version"; then
        pids+=("$host_pid")
        return 0
      fi
      sleep 0.1
    done
    kill "$host_pid" 2>/dev/null
    wait "$host_pid" 2>/dev/null
  done
  cat "$work/host.log"
  return 1
}
