#!/usr/bin/env bash
# Installs what is missing, builds and runs every test. Three builds, each doing what only it can:
#   build-asan  AddressSanitizer + UndefinedBehaviorSanitizer: every library and every test, the GUI
#               tests on Qt's offscreen platform. Runs last, so CTest's summary ends the output.
#   build-tsan  ThreadSanitizer: only the test programs labelled "threaded" (the libraries with worker
#               threads: system layer, transports, HID readers), and only those tests.
#   build       the plain optimised build: the program and the benchmarks, run briefly (a smoke run; the
#               figures are measured with the benchmark programs on their own).
# Build folders are kept between runs; remove them for a cold run.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/deps.sh
export KORVANE_LOOPBACK_ONLY=1
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

echo "== plain build: the program and the benchmarks"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs" --target kv_product
for b in build/bench/bench_*; do
    [ -x "$b" ] && "$b" --benchmark_min_time=0.001 >/dev/null
done

echo "== ThreadSanitizer: the threaded tests"
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKV_WITH_GUI=OFF -DKV_WITH_BENCH=OFF \
      -DKV_SANITIZE=thread >/dev/null
cmake --build build-tsan -j "$jobs" --target kv_threaded_tests
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
    ctest --test-dir build-tsan -L threaded -j "$jobs" --output-on-failure --no-label-summary

echo "== AddressSanitizer and UndefinedBehaviorSanitizer: every test"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKV_WITH_BENCH=OFF \
      -DKV_SANITIZE=address,undefined >/dev/null
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-asan -j "$jobs" --output-on-failure --no-label-summary
