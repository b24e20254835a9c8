#!/usr/bin/env bash
# The Windows on-screen display under wine, as the X server shows it: a text over a backdrop of
# one colour, screenshot of the whole desktop (ImageMagick), then its pixels: green letters, the
# dark green rim, the backdrop between and below the letters; a click on a letter reaches the
# backdrop. Usage: osd_screenshot_test.sh <bin folder> <folder for the screenshot>
# Needs WINEPREFIX, DISPLAY and DRAVO_WINE set (scripts/windows.sh sets them).
set -uo pipefail
bin=$1
shots=$2
mkdir -p "$shots"
out=$(mktemp)
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
(cd "$bin" && exec "${DRAVO_WINE:?}" osd_windows_probe.exe 'Next: 42 & ok' 20) > "$out" 2>&1 &
probe=$!
for _ in $(seq 1 100); do grep -q shown "$out" && break; sleep 0.1; done
sleep 1  # the window manager-less X server maps it at once; give wine a moment to draw
shot=$shots/osd_windows.png
import -window root "$shot"

# count <colour test in awk on r, g, b> over the band (the display's 80 rows, first 400 columns)
band=$(convert "$shot" -crop 400x80+0+0 +repage -depth 8 txt:- | sed -n 's/^\([0-9]*\),\([0-9]*\): (\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3 \4 \5/p')
count() { awk "{ r=\$3; g=\$4; b=\$5 } $1 { n++ } END { print n+0 }" <<< "$band"; }
letters=$(count 'r < 40 && b < 40 && g >= 230')
rim=$(count 'r < 20 && b < 20 && g >= 50 && g <= 75')
backdrop=$(count 'r == 30 && g == 60 && b == 200')
black=$(count 'r + g + b == 0')
[ "$letters" -gt 300 ] && echo "ok: green letters ($letters px)" || fail "green letters: $letters px"
[ "$rim" -gt 300 ] && echo "ok: dark rim ($rim px)" || fail "dark rim: $rim px"
[ "$backdrop" -gt 20000 ] && echo "ok: the backdrop shows between ($backdrop px)" \
  || fail "backdrop between the letters: $backdrop px"
[ "$black" -eq 0 ] && echo "ok: nothing black" || fail "$black black px: the band is not see-through"
# The text starts 10 px in: the first 7 columns (10 minus the rim of 3) are backdrop only.
edge=$(awk '$1 < 7 && !($3 == 30 && $4 == 60 && $5 == 200) { n++ } END { print n+0 }' <<< "$band")
[ "$edge" -eq 0 ] && echo "ok: margin before the text" || fail "$edge px painted in the margin"

# A click on a letter goes through to the backdrop.
read -r x y < <(awk '$3 < 40 && $5 < 40 && $4 >= 230 { print $1, $2; exit }' <<< "$band")
xdotool mousemove "$x" "$y" click 1
sleep 1
grep -q 'backdrop clicked' "$out" && echo "ok: a click on the letters reached the window beneath" \
  || fail "the click at $x,$y did not reach the backdrop"
kill "$probe" 2>/dev/null
wait "$probe" 2>/dev/null
rm -f "$out"
[ "$failures" -eq 0 ] && echo "PASS: on-screen display ($shot)" || echo "$failures check(s) failed"
[ "$failures" -eq 0 ]
