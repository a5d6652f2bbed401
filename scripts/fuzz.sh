#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz/ with clang (in build-fuzz) and runs each for a
# number of seconds (default 30) on a copy of its seed corpus, so the tree is never written.
# Any finding (a crash, a sanitizer report, a leak, a time-out, too much memory) fails the run;
# the input behind it is kept as build-fuzz/findings/<target>-crash-... for the corpus.
# Usage: scripts/fuzz.sh [seconds] [target ...]   (targets: the names of tests/fuzz/*.cpp)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh

seconds=${1:-30}
[ $# -gt 0 ] && shift
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for src in tests/fuzz/*.cpp; do targets+=("$(basename "$src" .cpp)"); done
fi

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTOLBEX_FUZZ=ON -DTOLBEX_QT=OFF -DTOLBEX_BENCH=OFF >/dev/null
cmake --build build-fuzz --target tolbex_fuzz --parallel "$(nproc)"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
work=$(mktemp -d /tmp/tolbex-fuzz.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p build-fuzz/findings
passed=0 failed=0
for t in "${targets[@]}"; do
  mkdir -p "$work/$t"
  cp tests/fuzz/corpus/"$t"/* "$work/$t/" 2>/dev/null || true
  # The shipped layouts and the BMP fixtures of the render tests seed their readers too.
  case "$t" in
    text_layout) find data/LAYOUTS -name '*.TXL' -size +308c -exec cp {} "$work/$t/" \; ;;
    binary_layout) find data/LAYOUTS -name '*.TXL' -size 308c -exec cp {} "$work/$t/" \; ;;
    bmp_file) cp tests/render/fixtures/*.bmp "$work/$t/" ;;
  esac
  log="$work/$t.log"
  status=0
  build-fuzz/tolbex_fuzz_"$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=16384 -print_final_stats=1 -artifact_prefix="build-fuzz/findings/$t-" \
    "$work/$t" >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  cov=$(grep -o 'cov: [0-9]* ft: [0-9]*' "$log" | tail -1)
  if [ "$status" -eq 0 ]; then
    passed=$((passed + 1))
    echo "fuzz $t: ${runs:-0} runs, ${speed:-0} exec/s, ${cov:-no coverage}, no finding"
  else
    failed=$((failed + 1))
    echo "fuzz $t: FINDING (exit $status) after ${runs:-?} runs"
    grep -E 'ERROR|runtime error|SUMMARY|Test unit written' "$log" | head -20 || true
    tail -40 "$log"
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
