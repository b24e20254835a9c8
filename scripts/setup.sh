#!/usr/bin/env bash
# Installs everything the build, the tests and the sample run need on Debian 12.
# `scripts/setup.sh run`: only what the build and the sample run need (no test tools).
set -euo pipefail
source "$(dirname "$0")/install_packages.sh"
packages=(
  build-essential cmake pkg-config git
  libgtest-dev libgmock-dev libbenchmark-dev
  libmpv-dev libjack-jackd2-dev libtag1-dev qt6-base-dev
  libcurl4-openssl-dev libssl-dev libx11-dev
  sox libsox-fmt-all vorbis-tools lame id3v2 curl
  nlohmann-json3-dev libavahi-client-dev
)
if [ "${1:-}" = run ]; then
  install_packages "${packages[@]}"
  exit 0
fi
packages+=(
  xvfb xdotool x11-xserver-utils dbus libglib2.0-bin playerctl
  clang libclang-rt-14-dev binutils clang-format-16
  openbox trayer xcompmgr imagemagick x11-utils
  chromium wget nodejs iproute2 util-linux
)
install_packages "${packages[@]}"
# avahi-daemon (avahi-browse needs it) runs only inside the announcement test's own network
# namespaces: its package must not start it on this machine's interfaces.
if ! dpkg-query -W -f='${Status}' avahi-utils 2>/dev/null | grep -q "install ok installed"; then
  guard=/usr/sbin/policy-rc.d
  made_guard=""
  if [ ! -e "$guard" ] && [ -w /usr/sbin ]; then
    printf '#!/bin/sh\nexit 101\n' > "$guard" && chmod +x "$guard" && made_guard=yes
  fi
  install_packages avahi-daemon avahi-utils
  [ -n "$made_guard" ] && rm -f "$guard"
fi
# The browser tests' driver, from npm at the locked version; the browser is Debian's chromium.
npm ci --prefix "$(dirname "$0")/../tests/browser" --no-audit --no-fund --loglevel=error
# The page's lint (ESLint), at the locked version.
npm ci --prefix "$(dirname "$0")/../server/page" --no-audit --no-fund --loglevel=error
