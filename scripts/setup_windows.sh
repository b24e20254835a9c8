#!/usr/bin/env bash
# Installs what the Windows cross build and its wine runs need on Debian 12: the mingw-w64
# compilers with POSIX threads, their binutils (windres, objdump), wine64, Xvfb, curl, and
# GoogleTest's sources (built for the target).
set -euo pipefail
packages=(
  cmake g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64
  wine64 xvfb curl libgtest-dev libgmock-dev
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
