#!/usr/bin/env bash
# Fails when a tracked C++ file differs from what clang-format makes of it (.clang-format).
# Skips (77) where clang-format 16 is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
formatter=$(command -v clang-format-16 || true)
[ -n "$formatter" ] || { echo "skip: clang-format-16 is not installed"; exit 77; }
git ls-files -z '*.cpp' '*.h' | xargs -0 "$formatter" --dry-run --Werror
