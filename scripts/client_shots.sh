#!/usr/bin/env bash
# The client's window on a real X server, checked and photographed:
#   scripts/client_shots.sh [OUTDIR]      (default build/client-shots)
# Starts Xvfb on a free display with openbox as window manager and trayer as notification area,
# a stand-in server (client_ui_fake_server), a white window beneath (client_ui_probe) and dravo.
# Then: a left click on the tray icon shows the title on the display; the display's pixels are
# checked (green letters, dark green rim, white between letters) without and with a compositor
# (xcompmgr); a click at the display's place reaches the white window, which keeps the focus; a
# right click brings the main window up with its bottom edge at the cursor; Tab to Sleep opens
# the sleep dialog; SIGTERM ends dravo with its settings saved. Screenshots (ImageMagick import)
# land in OUTDIR. Exit status 0 when every check passed, 77 when a tool is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-${BUILD_DIR:-build}/client-shots}
bin=${DRAVO_BIN:-$(pwd)/${BUILD_DIR:-build}/bin}
source tests/client_ui/desktop.sh  # need_desktop, until_ok, the sanitizer's X exceptions
need_desktop Xvfb openbox trayer xcompmgr xdotool xwininfo import
# A build without the window (the thread sanitizer's) skips the check.
[ -x "$bin/client_ui_probe" ] || { echo "SKIP: build client_ui_probe first"; exit 77; }
mkdir -p "$out"
rm -f "$out"/*.png
tmp=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT
failures=0
pass() { echo "ok   $*"; }
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
visible() { xdotool search --onlyvisible --name "$1" | head -1; }
is_visible() { [ -n "$(visible "$1")" ]; }
not_visible() { [ -z "$(visible "$1")" ]; }
gone() { [ ! -e "/proc/$1" ] || grep -q ') Z' "/proc/$1/stat"; }

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$tmp/display" 2>"$tmp/xvfb.log" &
pids+=($!)
until_ok 20 test -s "$tmp/display" || { cat "$tmp/xvfb.log"; echo "Xvfb did not start"; exit 1; }
export DISPLAY=:$(cat "$tmp/display")
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
openbox --sm-disable >"$tmp/openbox.log" 2>&1 &
pids+=($!)
until_ok 20 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q window' || { echo "openbox did not start"; exit 1; }
trayer --edge bottom --align right --widthtype request --height 24 --SetDockType true \
  --SetPartialStrut true --transparent false >"$tmp/trayer.log" 2>&1 &
pids+=($!)
# trayer's visible window is its "panel"; the icons are embedded in it.
until_ok 20 sh -c 'xdotool search --classname "^panel$" | grep -q .' \
  || { echo "trayer did not start"; exit 1; }
panel=$(xdotool search --classname "^panel$" | head -1)

"$bin/client_ui_fake_server" "Artist - Song" >"$tmp/server" &
pids+=($!)
until_ok 20 test -s "$tmp/server"
cat >"$tmp/dravo.ini" <<INI
[Settings]
Server1=$(head -1 "$tmp/server")
UpdateOnStartup=false
RefreshInterval=3600
OSDDuration=8
INI
"$bin/client_ui_probe" white "$tmp/clicks" >"$tmp/probe" &
pids+=($!)
until_ok 20 is_visible "white probe"
probe=$(visible "white probe")
"$bin/dravo" /i "$tmp/dravo.ini" 2>"$tmp/dravo.err" &
dravo=$!
pids+=($dravo)

# The icon sits in trayer's panel once dravo has added it: a window of dravo's class.
if until_ok 20 sh -c "xwininfo -tree -id $panel | grep -q '(\"dravo\" \"dravo\")'"; then
  pass "the tray icon is in the notification area"
else
  fail "no tray icon under trayer"
fi
icon=$(xwininfo -tree -id "$panel" | sed -n 's/^ *\(0x[0-9a-f]*\) .*("dravo" "dravo").*/\1/p' | head -1)
eval "$(xdotool getwindowgeometry --shell "${icon:-$panel}")"
icon_x=$((X + WIDTH / 2)); icon_y=$((Y + HEIGHT / 2))
! grep -q "no notification area" "$tmp/dravo.err" || fail "dravo found no notification area"

# Start-up shows texts on the display; wait for it to go so the next show maps it afresh.
until_ok 30 is_visible "^osd$" || fail "the start-up texts never showed"
until_ok 30 not_visible "^osd$" || fail "the display did not hide after its duration"

check_osd() {  # NAME: a left click on the icon, then the display photographed and checked
  xdotool windowactivate "$probe" 2>/dev/null || true
  until_ok 10 sh -c "[ \$(xdotool getwindowfocus) = $probe ]" || fail "$1: the white window has no focus"
  xdotool mousemove "$icon_x" "$icon_y"
  sleep 0.3
  xdotool click 1
  until_ok 10 is_visible "^osd$" && pass "$1: a left click on the icon shows the display" \
    || fail "$1: no display after a left click"
  sleep 0.5
  [ "$(xdotool getwindowfocus)" = "$probe" ] && pass "$1: the focused window keeps the focus" \
    || fail "$1: the display took the focus"
  import -window root "$out/$1.png"
  if result=$("$bin/client_ui_probe" check-osd "$out/$1.png"); then
    pass "$1: $result"
  else
    fail "$1: $result"
  fi
  row=$(sed -n 's/.*in row \([0-9]*\) from x \([0-9]*\).*/\1 \2/p' <<<"$result")
  set -- "$1" $row
  if [ $# -eq 3 ]; then
    : >"$tmp/clicks"
    xdotool mousemove "$(($3 + 1))" "$2"
    sleep 0.3
    xdotool click 1
    until_ok 5 grep -q "click" "$tmp/clicks" && pass "$1: a click on a letter reaches the window below" \
      || fail "$1: the click at the display's place did not reach the window below"
  fi
}
check_osd osd
xcompmgr >"$tmp/xcompmgr.log" 2>&1 &
compositor=$!
pids+=($compositor)
until_ok 20 "$bin/client_ui_probe" compositor || fail "xcompmgr did not take the compositor selection"
check_osd osd-composited
kill "$compositor"

# A right click brings the window up with its bottom edge at the cursor, right edge on screen.
xdotool mousemove "$icon_x" "$icon_y"
sleep 0.3
xdotool click 3
if until_ok 10 is_visible "Artist - Song"; then
  window=$(visible "Artist - Song")
  sleep 0.5
  eval "$(xdotool getmouselocation --shell)"
  cursor_y=$Y
  eval "$(xdotool getwindowgeometry --shell "$window")"
  [ $((Y + HEIGHT)) -eq "$cursor_y" ] && pass "right click: the window's bottom edge at the cursor (y $cursor_y)" \
    || fail "right click: window bottom at $((Y + HEIGHT)), cursor at $cursor_y"
  [ $((X + WIDTH)) -eq 1024 ] && pass "right click: the window's right edge at the screen's" \
    || fail "right click: window right edge at $((X + WIDTH))"
  until_ok 5 sh -c "[ \$(xdotool getwindowfocus) = $window ]" && pass "right click: the window has the focus" \
    || fail "right click: the window has no focus"
  xprop -id "$window" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR \
    && pass "right click: the window has no taskbar entry" \
    || fail "right click: the window would show in a taskbar ($(xprop -id "$window" _NET_WM_STATE))"
  import -window root "$out/main.png"
  # From the search edit, Tab reaches the Sleep button eleventh (list, slider, shuffle, five
  # player buttons, Server, Reload, Sleep).
  xdotool key --delay 50 Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab space
  if until_ok 10 is_visible "^Sleep$"; then
    sleep 0.5
    import -window root "$out/sleep.png"
    is_visible "Artist - Song" && pass "the sleep dialog is up and the main window stays" \
      || fail "the main window hid for the sleep dialog"
    xdotool key Escape
    until_ok 5 not_visible "^Sleep$" || fail "Esc did not close the sleep dialog"
    sleep 0.3
    xdotool key Escape
    until_ok 5 not_visible "Artist - Song" && pass "Esc hides the main window" || fail "Esc did not hide the main window"
  else
    fail "Tab to Sleep and space did not open the sleep dialog"
  fi
else
  fail "no main window after a right click"
fi

# SIGTERM ends dravo like Exit: settings saved, status 0.
kill -TERM "$dravo"
status=0
until_ok 20 gone "$dravo" || fail "dravo did not end on SIGTERM"
wait "$dravo" || status=$?
[ "$status" -eq 0 ] && grep -q "^CurrentServer" "$tmp/dravo.ini" && pass "SIGTERM ended dravo with its settings saved" \
  || fail "SIGTERM: status $status, settings: $(tr '\n' ' ' <"$tmp/dravo.ini")
$(tail -30 "$tmp/dravo.err")"

echo "screenshots in $out: $(cd "$out" && ls *.png 2>/dev/null | tr '\n' ' ')"
[ "$failures" -eq 0 ] && echo "all window checks passed" || echo "$failures window checks failed"
[ "$failures" -eq 0 ]
