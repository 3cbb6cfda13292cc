#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors and runs every
# test; then builds and runs the whole suite again with AddressSanitizer and
# UndefinedBehaviorSanitizer, where any error ends the test it happens in.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
./scripts/deps.sh
build=$(realpath -m "${BUILD_DIR:-build/test}")
sanitized="${build}-sanitized"
jobs=$(nproc)

run_suite() {
  local dir=$1
  shift
  cmake -S "$root" -B "$dir" -DBUILD_TESTING=ON -DWARNINGS_AS_ERRORS=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$dir" -j"$jobs"
  (cd "$dir" && QT_QPA_PLATFORM=offscreen ctest --no-tests=error --output-on-failure -j"$jobs")
}

run_suite "$build"
ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:abort_on_error=0 \
UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  run_suite "$sanitized" -DSANITIZE=ON
