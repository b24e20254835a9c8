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
)
if [ "${1:-}" = run ]; then
  install_packages "${packages[@]}"
  exit 0
fi
packages+=(
  xvfb xdotool x11-xserver-utils dbus libglib2.0-bin
  clang libclang-rt-14-dev binutils
  openbox trayer xcompmgr imagemagick x11-utils
  chromium wget nodejs
)
install_packages "${packages[@]}"
# The browser tests' driver, from npm at the locked version; the browser is Debian's chromium.
npm ci --prefix "$(dirname "$0")/../tests/browser" --no-audit --no-fund --loglevel=error
