#!/usr/bin/env bash
# Configures and builds into build/ (or $BUILD_DIR). Extra arguments go to cmake's configure.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDRAVO_WERROR=$werror "$@"
cmake --build "$build" -j"${JOBS:-2}"
