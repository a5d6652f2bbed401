#!/usr/bin/env bash
# Builds Tolbex and runs every test: unit tests, the headless window tests and the end-to-end
# tests of the real program under Xvfb. With --sanitize the build uses AddressSanitizer and
# UndefinedBehaviorSanitizer, and any report fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh

build=build
options=(-G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [ "${1:-}" = "--sanitize" ]; then
  build=build-sanitize
  options+=(-DTOLBEX_SANITIZE=ON -DTOLBEX_BENCH=OFF)
fi
[ "${CI:-}" = "true" ] && options+=(-DTOLBEX_WERROR=ON)

cmake -S . -B "$build" "${options[@]}"
cmake --build "$build" --parallel "$(nproc)"

export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
ctest --test-dir "$build" --output-on-failure --timeout 600
