#!/usr/bin/env bash
# Installs what the Windows cross build and its wine runs need on Debian 12: the mingw-w64
# compilers with POSIX threads, their binutils (windres, objdump), wine64, Xvfb, xdotool and
# ImageMagick (keys and screenshots of the wine desktop), curl, and GoogleTest's sources (built
# for the target).
set -euo pipefail
source "$(dirname "$0")/install_packages.sh"
packages=(
  cmake g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64
  wine64 xvfb xdotool imagemagick curl libgtest-dev libgmock-dev nlohmann-json3-dev
)
install_packages "${packages[@]}"
