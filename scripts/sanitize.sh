#!/usr/bin/env bash
# Sanitizer runs of the test suite:
#   address: AddressSanitizer + UndefinedBehaviorSanitizer build of everything (build-asan/),
#            the whole suite under ctest;
#   thread:  ThreadSanitizer build (build-tsan/) of the threaded tests: the listener and plug-in
#            tests, the configuration's work without widgets, the host tests, the system and
#            robustness tests, the support library's tests (fetch, update, settings) and the
#            client's tests (its request worker, the pushed-state feed) and the network browser.
# Usage: scripts/sanitize.sh [address|thread|all] (default all). Every report stops its test.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
which=${1:-all}
jobs=${JOBS:-2}

# -O1 -g1: line tables are all a report needs, and the builds take about half the time of -O2 -g.
configure() {  # build dir, sanitizer
  cmake -S . -B "$1" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDRAVO_SANITIZE="$2" -DDRAVO_WERROR=ON \
    -DDRAVO_BUILD_BENCH=OFF -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" >/dev/null
}

timed() {  # label, command...
  local start=$SECONDS
  "${@:2}"
  echo "-- $1: $((SECONDS - start)) s"
}

# Tests whose executables were not built are listed by ctest as *_NOT_BUILT: skip those.
run_ctest() {  # build dir, extra ctest arguments...
  (cd "$1" && ctest --output-on-failure -j"$jobs" --timeout 300 -E '_NOT_BUILT$' "${@:2}")
}

address() {
  local build=$root/build-asan
  export ASAN_OPTIONS=halt_on_error=1:abort_on_error=0:detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1
  # Leaks inside third-party libraries only; never our own frames.
  export LSAN_OPTIONS=suppressions=$root/scripts/lsan.supp:print_suppressions=0
  export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
  timed "address: configure" configure "$build" address
  timed "address: build" cmake --build "$build" -j"$jobs"
  timed "address: tests" run_ctest "$build"
}

thread() {
  local build=$root/build-tsan
  # Races inside third-party libraries only (the window mode's fontconfig); never our own frames.
  export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=$root/scripts/tsan.supp
  local targets=(dravo_server_tests dravo_common_tests server_config_tests host_tests
    host_e2e_tests system_tests robustness_tests client_tests client_loop_tests
    client_system_tests dravo_browse_probe)
  timed "thread: configure" configure "$build" thread
  timed "thread: build" cmake --build "$build" -j"$jobs" --target "${targets[@]}"
  timed "thread: tests" run_ctest "$build"
}

case $which in
  address) address ;;
  thread) thread ;;
  all) address; thread ;;
  *) echo "usage: $0 [address|thread|all]" >&2; exit 2 ;;
esac
