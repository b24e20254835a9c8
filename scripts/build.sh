#!/usr/bin/env bash
# Configures and builds into build/ (or $BUILD_DIR). Extra arguments go to cmake's configure.
# BUILD_TARGETS (blank-separated) builds only those targets instead of everything.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDRAVO_WERROR=$werror "$@"
targets=()
for target in ${BUILD_TARGETS:-}; do
  targets+=(--target "$target")
done
cmake --build "$build" -j"${JOBS:-2}" "${targets[@]}"
