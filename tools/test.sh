#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the full build once,
# then the non-GUI tests again under AddressSanitizer and UndefinedBehaviorSanitizer, and the transports
# under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/deps.sh
export KORVANE_LOOPBACK_ONLY=1
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs"

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKV_WITH_GUI=OFF -DKV_WITH_BENCH=OFF \
      -DKV_SANITIZE=address,undefined >/dev/null
cmake --build build-asan -j "$jobs"

echo "== sanitizer run of the non-GUI tests (address, undefined)"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-asan -L nongui -j "$jobs" --output-on-failure --no-label-summary

# The transports' threads under ThreadSanitizer: only the libraries and tests that run workers.
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKV_WITH_GUI=OFF -DKV_WITH_BENCH=OFF \
      -DKV_SANITIZE=thread >/dev/null
cmake --build build-tsan -j "$jobs" --target test_kv_sys test_kv_link test_kv_hid

echo "== thread sanitizer run of the transports and the HID readers"
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
    ctest --test-dir build-tsan -j "$jobs" --output-on-failure --no-label-summary \
    -R '^(TransportQueue|TransportIo|TransportStress|TransportSim|Assembler|Wait|VirtualClock|Messages|Serial|ClientSocket|HidReader|MainHid|HidController)\.'

echo "== every test"
ctest --test-dir build -j "$jobs" --output-on-failure --no-label-summary
