#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ (or $BUILD_DIR) and runs each one in
# turn for the given number of seconds (default 600). Target names after the seconds (request,
# filter, profile) run only those. New inputs go to build-fuzz/corpus/, the seeds in
# fuzz/corpus/ stay as they are; a finding is left in build-fuzz/findings/ and fails the script.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
shift $(( $# > 0 ? 1 : 0 ))
root=$(pwd)
build=$root/${BUILD_DIR:-build-fuzz}
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined"
cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS="$flags" -DDRAVO_FUZZ=ON -DDRAVO_BUILD_HOST=OFF -DDRAVO_BUILD_BENCH=OFF \
  -DDRAVO_WERROR=ON >/dev/null
targets=(request filter profile)
[ $# -gt 0 ] && targets=("$@")
cmake --build "$build" -j"${JOBS:-2}" --target "${targets[@]/#/fuzz_}" >/dev/null

# The profile target writes a file per input: keep that off the disk where possible.
[ -w /dev/shm ] && export TMPDIR=/dev/shm
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
# Requests longer than the 4095-byte limit must be reachable.
declare -A max_len=([request]=12000 [filter]=4096 [profile]=8192)
mkdir -p "$build/findings"
for target in "${targets[@]}"; do
  work=$build/corpus/$target
  mkdir -p "$work"
  echo "== fuzz_$target for ${seconds}s"
  log=$build/fuzz_$target.log
  if ! "$build/bin/fuzz_$target" -max_total_time="$seconds" -max_len="${max_len[$target]}" \
      -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$build/findings/${target}-" \
      "$work" "$root/fuzz/corpus/$target" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "fuzz_$target: finding, see $build/findings/" >&2
    exit 1
  fi
  grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb)' "$log" || true
  grep -E '^#[0-9]+.*(DONE|cov:)' "$log" | tail -n 1
done
