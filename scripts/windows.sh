#!/usr/bin/env bash
# The Windows plug-in: cross-builds gen_dravo_srv.dll for i686 (the file users install) and
# x86_64, checks both DLLs' export and import tables, and the client's media-key DLL's, then, under
# wine64, runs the core's and the client's unit tests, a media key from the X server through the
# hook, and the system test of the x86_64 DLL in winamp_stub.exe, driven over HTTP from here.
#   DRAVO_WINDOWS_RUN=no   build and check only (no wine)
# Build folders: build-win-i686 and build-win-x86_64 (or below $WINDOWS_BUILD_ROOT).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup_windows.sh
root=${WINDOWS_BUILD_ROOT:-.}
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON

build() {  # build <arch> <targets...>
  local arch=$1; shift
  cmake -S . -B "$root/build-win-$arch" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-$arch.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DDRAVO_WERROR=$werror > /dev/null
  for target in "$@"; do
    cmake --build "$root/build-win-$arch" -j"${JOBS:-2}" --target "$target"
  done
}

# Exactly the expected exports, undecorated; only system DLLs imported.
check_dll() {  # check_dll <objdump> <dll or exe> [exports, blank-separated; "" for none]
  local dump exports imports bad expected=${3-winampGetGeneralPurposePlugin}
  dump=$("$1" -p "$2")
  exports=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<< "$dump" | sed -n 's/^\s*\[ *[0-9]*\] //p')
  imports=$(sed -n 's/^\s*DLL Name: //p' <<< "$dump")
  if [ "$(echo $exports)" != "$expected" ]; then
    echo "FAIL: $2 exports: $exports"; return 1
  fi
  bad=$(grep -viE '^(kernel32|user32|gdi32|comctl32|ws2_32|wininet|shell32|bcrypt|advapi32|msvcrt|ucrtbase|api-ms-win-crt-[a-z0-9-]+)\.dll$' <<< "$imports" || true)
  if [ -n "$bad" ]; then
    echo "FAIL: $2 imports non-system DLLs: $bad"; return 1
  fi
  echo "ok: $2 exports only ${expected:-nothing}; imports $(echo $imports)"
}

hook_exports="SetMMShellHook UnSetMMShellHook"
build i686 gen_dravo_srv dravo dravo_shellhook
check_dll i686-w64-mingw32-objdump "$root/build-win-i686/bin/plugins/gen_dravo_srv.dll"
check_dll i686-w64-mingw32-objdump "$root/build-win-i686/bin/dravo_shellhook.dll" "$hook_exports"
check_dll i686-w64-mingw32-objdump "$root/build-win-i686/bin/dravo.exe" ""
build x86_64 gen_dravo_srv winamp_stub dravo_windows_unit_tests dravo_windows_client_tests \
  dravo dravo_windows_ui_tests osd_windows_probe client_driver
check_dll x86_64-w64-mingw32-objdump "$root/build-win-x86_64/bin/plugins/gen_dravo_srv.dll"
check_dll x86_64-w64-mingw32-objdump "$root/build-win-x86_64/bin/dravo_shellhook.dll" "$hook_exports"
check_dll x86_64-w64-mingw32-objdump "$root/build-win-x86_64/bin/dravo.exe" ""
[ "${DRAVO_WINDOWS_RUN:-yes}" = "no" ] && exit 0

# One wine prefix and one X server per run, both gone at the end whatever happens.
work=$(mktemp -d /tmp/dravo_wine.XXXXXX)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export DRAVO_WINE=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver64
[ -x "$DRAVO_WINE" ] || DRAVO_WINE=$(command -v wine64 || command -v wine)
[ -x "$wineserver" ] || wineserver=$(command -v wineserver)
xvfb=""
cleanup() {
  "$wineserver" -k 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
# The stand-in host's window needs a display; Xvfb picks a free one and says which.
Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3> "$work/display" 2> /dev/null &
xvfb=$!
for _ in $(seq 1 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$work/display")
mkdir -p "$work/system"
"$DRAVO_WINE" wineboot -i > /dev/null 2>&1 || true   # the prefix, before anything is timed

(cd "$root/build-win-x86_64" && ctest --output-on-failure --timeout 300)
tests/windows/media_key_x11_test.sh "$root/build-win-x86_64/bin"
tests/windows/osd_screenshot_test.sh "$root/build-win-x86_64/bin" "$root/build-win-x86_64/screenshots"
# The client against the real Linux host, when the Linux build has made it (scripts/test.sh).
if [ -x build/bin/player_host ] && [ -f build/bin/plugins/gen_dravo_srv.so ]; then
  tests/windows/client_driver_test.sh "$root/build-win-x86_64/bin" build/bin "$work/client" \
    "$root/build-win-x86_64/screenshots"
else
  echo "skipped: the client against the real host (no build/bin/player_host; run scripts/build.sh)"
fi
tests/windows/stub_http_test.sh "$root/build-win-x86_64/bin" "$work/system"
