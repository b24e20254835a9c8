# Shell helpers of the client's checks on a real X server, sourced by client_shots.sh,
# logout_check.sh, kill_check.sh and playerctl_check.sh: waiting, windows, a desktop of Xvfb,
# openbox and trayer, and the stand-in server. The caller sets bin (the built programs) before
# sourcing, then tmp (a scratch folder), and keeps pids, the programs to end when it ends.

# In the address sanitizer's build the X libraries keep memory past exit (dravo's orderly end
# would count as a failure) and the keyboard library copies an unterminated X reply with strndup,
# which stops at the length; our own code is checked by the offscreen tests with both checks on.
[ -z "${ASAN_OPTIONS:-}" ] || export ASAN_OPTIONS="$ASAN_OPTIONS:detect_leaks=0:strict_string_checks=0"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM

# need_desktop TOOL...: ends the check as skipped (77) when a tool or one of the client's programs
# is missing.
need_desktop() {
  local tool program
  for tool in "$@"; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing (scripts/setup.sh installs it)"; exit 77; }
  done
  for program in dravo client_ui_fake_server; do
    [ -x "$bin/$program" ] || { echo "SKIP: build $program first (cmake --build build --target $program)"; exit 77; }
  done
}

# on_private_bus ARGS...: runs the calling check again on a session bus of its own (the media
# keys register there), once.
on_private_bus() {
  [ -z "${DRAVO_PRIVATE_BUS:-}" ] || return 0
  unset DBUS_SESSION_BUS_ADDRESS
  exec env DRAVO_PRIVATE_BUS=1 dbus-run-session -- "$0" "$@"
}

# until_ok SECONDS COMMAND...: retries the command every 0.1 s.
until_ok() {
  local tries=$(($1 * 10)); shift
  while ! "$@" >/dev/null 2>&1; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || return 1
    sleep 0.1
  done
}
gone() { [ ! -e "/proc/$1" ] || grep -q ') Z' "/proc/$1/stat"; }
is_visible() { xdotool search --onlyvisible --name "$1" | grep -q .; }

# start_server [--hold-filter]: the stand-in server, its base URL in $server_url.
start_server() {
  rm -f "$tmp/server"
  "$bin/client_ui_fake_server" "Artist - Song" "$@" >"$tmp/server" &
  pids+=($!)
  until_ok 20 test -s "$tmp/server" || { echo "the stand-in server did not start"; return 1; }
  server_url=$(head -1 "$tmp/server")
}

# start_desktop DIR [tray]: Xvfb on a free display (exported as DISPLAY), openbox and, when asked,
# trayer, each waited for; their ids in xvfb_pid, wm_pid and tray_pid, their logs in DIR.
start_desktop() {
  local dir=$1
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$dir/display" 2>"$dir/xvfb.log" &
  xvfb_pid=$!
  pids+=($xvfb_pid)
  until_ok 20 test -s "$dir/display" || { echo "Xvfb did not start"; return 1; }
  export DISPLAY=:$(cat "$dir/display")
  openbox --sm-disable >"$dir/openbox.log" 2>&1 &
  wm_pid=$!
  pids+=($wm_pid)
  until_ok 20 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q window' \
    || { echo "openbox did not start"; return 1; }
  [ "${2:-}" = tray ] || return 0
  trayer --edge bottom --align right --widthtype request --height 24 --SetDockType true \
    --transparent false >"$dir/trayer.log" 2>&1 &
  tray_pid=$!
  pids+=($tray_pid)
  until_ok 20 sh -c 'xdotool search --classname "^panel$" | grep -q .' \
    || { echo "trayer did not start"; return 1; }
}

# show_window [SECONDS]: Ctrl+Play brings dravo's window up (its title is the stand-in's song).
# The keys act once the start-up has registered their actions, a moment after the tray icon
# shows, so the key is pressed once a second until the window is up (at most SECONDS, 20).
show_window() {
  local until=$((SECONDS + ${1:-20}))
  while [ "$SECONDS" -lt "$until" ]; do
    xdotool key ctrl+XF86AudioPlay
    until_ok 1 is_visible "Artist - Song" && return 0
  done
  return 1
}
