#!/usr/bin/env bash
# Installs what is missing, builds and runs every test. Three builds, each doing what only it can:
#   build       every file compiled on its own (no unity batches), optimised (-O2), warnings as errors:
#               the program, the tests, the benchmarks and the tools. A file that leans on an include
#               it does not make fails here. Runs the benchmarks briefly (a smoke run; the figures are
#               measured with the benchmark programs on their own).
#   build-tsan  ThreadSanitizer: only the test programs labelled "threaded" (the libraries with worker
#               threads: system layer, transports, HID readers), and only those tests.
#   build-asan  AddressSanitizer + UndefinedBehaviorSanitizer: every library and every test, the GUI
#               tests on Qt's offscreen platform. Runs last, so CTest's summary ends the output.
# Build folders are kept between runs; remove them for a cold run.
# The sanitizer builds compile in unity batches (KV_UNITY): most of a cold run is compiling, and a batch
# parses the Qt and GoogleTest headers once for several files. Every build runs each test program as one
# CTest test (KV_TESTS_PER_PROGRAM): a process per test case cost more than the cases themselves. The
# sanitizer builds keep line tables only (-g1): enough for their reports.
set -euo pipefail
cd "$(dirname "$0")/.."

started=$SECONDS
took() { echo "-- $1: $((SECONDS - started)) s"; started=$SECONDS; }
bash tools/deps.sh
took "dependencies"
export KORVANE_LOOPBACK_ONLY=1
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)
common=(-G Ninja -DKV_TESTS_PER_PROGRAM=ON)
unity=(-DKV_UNITY=ON)
debug=(-DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 -DCMAKE_C_FLAGS_DEBUG=-g1)

echo "== plain build, every file on its own: the program, the tests, the benchmarks and the tools"
# -O2, not Release's -O3: GCC 12 at -O3 raises a false -Wrestrict inside std::string.
cmake -S . -B build "${common[@]}" -DKV_UNITY=OFF -DKV_WERROR=ON -DKV_TOOLS=ON -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" -DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG" >/dev/null
cmake --build build -j "$jobs"
took "plain build"
# Side by side: each mostly waits on its own clock (fixed minimum times) or on I/O.
declare -A bench=()
for b in build/bench/bench_*; do
    [ -x "$b" ] || continue
    "$b" --benchmark_min_time=0.001 >/dev/null &
    bench[$!]=$b
done
failed=""
for pid in "${!bench[@]}"; do
    wait "$pid" || failed+=" ${bench[$pid]}"
done
[ -z "$failed" ] || { echo "benchmarks failed:$failed"; exit 1; }
took "benchmarks"

echo "== ThreadSanitizer: the threaded tests"
cmake -S . -B build-tsan "${common[@]}" "${unity[@]}" "${debug[@]}" -DKV_WITH_GUI=OFF -DKV_WITH_BENCH=OFF \
      -DKV_SANITIZE=thread >/dev/null
cmake --build build-tsan -j "$jobs" --target kv_threaded_tests
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
    ctest --test-dir build-tsan -L threaded -j "$jobs" --output-on-failure --no-label-summary
took "ThreadSanitizer"

echo "== AddressSanitizer and UndefinedBehaviorSanitizer: every test"
cmake -S . -B build-asan "${common[@]}" "${unity[@]}" "${debug[@]}" -DKV_WITH_BENCH=OFF -DKV_SANITIZE=address,undefined \
      >/dev/null
cmake --build build-asan -j "$jobs"
took "AddressSanitizer build"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-asan -j "$jobs" --output-on-failure --no-label-summary
