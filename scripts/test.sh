#!/usr/bin/env bash
# Sets up a fresh machine, builds and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
cd "${BUILD_DIR:-build}"
ctest --output-on-failure -j2 --timeout 300
