#!/usr/bin/env bash
# Builds the libFuzzer programs with clang (the tested libraries instrumented too) and runs each one for
# a while, from its seeds in tests/fuzz/seeds/<program>/ when there are any. New inputs go to
# build-fuzz/corpus/<program>/, crashes to build-fuzz/crashes/.
#   bash tools/fuzz.sh                    every program, 60 s each
#   bash tools/fuzz.sh fuzz_unit_file 600 one program, 600 s
# Programs: fuzz_unit_file (unit files), fuzz_reply (received frames into the model), fuzz_assembler
# (byte streams cut into frames), fuzz_report_descriptor (HID report descriptors), fuzz_rtf (the
# rich-text reader and writer), fuzz_formatted_text (the splash's formatted-text renderer), fuzz_plot_files
# (the plot's data, property and annotation file readers).
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/deps.sh --fuzz
export KORVANE_LOOPBACK_ONLY=1
programs=(fuzz_unit_file fuzz_reply fuzz_assembler fuzz_report_descriptor fuzz_rtf fuzz_formatted_text
          fuzz_plot_files)
[ -n "${1:-}" ] && programs=("$1")
seconds=${2:-60}

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKV_FUZZ=ON \
    -DKV_WITH_BENCH=OFF >/dev/null
cmake --build build-fuzz -j "${JOBS:-$(nproc)}" --target "${programs[@]}"

# The leak suppressions the tests run with (the font library's caches, which live as long as the
# process): without them every run of a program that draws text ends in a false leak report, which
# libFuzzer saves as a crash. The sanitizers' own checks stay as they are.
# The suppressions name functions inside Qt's font code, which the fast unwinder does not get through.
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
export ASAN_OPTIONS="fast_unwind_on_malloc=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}"

mkdir -p build-fuzz/crashes
for p in "${programs[@]}"; do
    corpus=build-fuzz/corpus/$p
    mkdir -p "$corpus"
    seeds=()
    [ -d "tests/fuzz/seeds/$p" ] && seeds=("tests/fuzz/seeds/$p")
    # A unit file is 14,514 bytes; libFuzzer's default length limit would never reach its parser.
    max_len=4096
    [ "$p" = fuzz_unit_file ] && max_len=16384
    echo "== $p: ${seconds} s, -max_len=$max_len"
    "build-fuzz/tests/fuzz/$p" "$corpus" "${seeds[@]}" -max_len="$max_len" -max_total_time="$seconds" \
        -artifact_prefix=build-fuzz/crashes/ -print_final_stats=1
done
