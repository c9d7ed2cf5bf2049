#!/usr/bin/env bash
# Screenshots of every block page of the main window and every dialog, in English and Simplified
# Chinese, and of the plot property editor's pages (en/plot-editor-<page>.png), taken on a virtual X
# display (Xvfb) and written below docs/screenshots/ (en/, zh/).
#   bash tools/screenshots.sh [build folder]      (build-shots by default)
# Needs xvfb-run (Debian: xvfb) and the fonts of tools/deps.sh (WenQuanYi Micro Hei for Chinese).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build-shots}"

command -v xvfb-run >/dev/null || { echo "screenshots.sh: xvfb-run is missing (apt-get install xvfb)" >&2; exit 1; }
fc-list :lang=zh | grep -q . || echo "screenshots.sh: no font with Chinese glyphs; the Chinese pictures will show boxes" >&2

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKV_TOOLS=ON >/dev/null
cmake --build "$build" -j"${JOBS:-3}" --target korvane-screenshots

rm -rf docs/screenshots/en docs/screenshots/zh
export KORVANE_LOOPBACK_ONLY=1
# A screen larger than the main window; the dialogs are centred on it.
xvfb-run -a -s "-screen 0 1280x900x24" "$build/tools/screenshots/korvane-screenshots" docs/screenshots
