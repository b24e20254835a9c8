#!/usr/bin/env bash
# Builds the Debian packages dravo (the client) and dravo-host (the player host with the server
# plug-in) into build-package/ (or $PACKAGE_BUILD_DIR): a Release build for /usr with Debian's
# hardening flags, without tests or benchmarks, kept apart from the main build folder.
# Extra arguments go to cmake's configure (e.g. -DCMAKE_CXX_COMPILER_LAUNCHER=ccache).
# Install with: sudo apt-get install ./build-package/dravo_*.deb ./build-package/dravo-host_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/install_packages.sh
# What the programs build with, and what CPack's dependency scan runs.
install_packages build-essential cmake pkg-config libmpv-dev libjack-jackd2-dev libtag1-dev \
  qt6-base-dev libcurl4-openssl-dev libssl-dev libx11-dev dpkg-dev file
build=${PACKAGE_BUILD_DIR:-build-package}
# Debian's hardening, bindnow included.
flags() { DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1"; }
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DDRAVO_BUILD_TESTS=OFF -DDRAVO_BUILD_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$(flags CPPFLAGS) $(flags CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(flags LDFLAGS)" -DCMAKE_SHARED_LINKER_FLAGS="$(flags LDFLAGS)" \
  -DCMAKE_MODULE_LINKER_FLAGS="$(flags LDFLAGS)" "$@"
cmake --build "$build" -j"${JOBS:-2}"
rm -f "$build"/*.deb
(cd "$build" && cpack -G DEB)
ls -1 "$build"/*.deb
