#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors and runs every
# test.
#   ./scripts/test.sh              the plain build in build/test
#   ./scripts/test.sh --sanitize   the same suite built with AddressSanitizer
#                                  and UndefinedBehaviorSanitizer in
#                                  build/test-sanitized, where any error ends
#                                  the test it happens in (about three times
#                                  the plain pass's time: CI runs both)
# BUILD_DIR moves the plain build; the sanitized one goes beside it.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

sanitize=0
case "${1:-}" in
  "") ;;
  --sanitize) sanitize=1 ;;
  *) echo "usage: $0 [--sanitize]" >&2; exit 64 ;;
esac

./scripts/deps.sh
build=$(realpath -m "${BUILD_DIR:-build/test}")
jobs=$(nproc)
options=()
if [[ $sanitize -eq 1 ]]; then
  build="${build}-sanitized"
  options=(-DSANITIZE=ON)
  export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:abort_on_error=0
  export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
fi

cmake -S "$root" -B "$build" -DBUILD_TESTING=ON -DWARNINGS_AS_ERRORS=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}" >/dev/null
cmake --build "$build" -j"$jobs"
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --no-tests=error --output-on-failure -j"$jobs"
