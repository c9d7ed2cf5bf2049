#!/usr/bin/env bash
# Screenshots of every block page of the main window and every dialog, in English and Simplified
# Chinese, and of the plot property editor's pages (en/plot-editor-<page>.png), taken on a virtual X
# display (Xvfb) and written below docs/screenshots/ (en/, zh/).
#   bash tools/screenshots.sh [build folder]      (build-shots by default)
# Needs xvfb-run (Debian: xvfb), icewm for the window frames, and the fonts of tools/deps.sh (WenQuanYi Micro Hei for Chinese).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build-shots}"

command -v xvfb-run >/dev/null || { echo "screenshots.sh: xvfb-run is missing (apt-get install xvfb)" >&2; exit 1; }
fc-list :lang=zh | grep -q . || echo "screenshots.sh: no font with Chinese glyphs; the Chinese pictures will show boxes" >&2

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKV_TOOLS=ON >/dev/null
cmake --build "$build" -j"${JOBS:-3}" --target korvane-screenshots

rm -rf docs/screenshots/en docs/screenshots/zh
export KORVANE_LOOPBACK_ONLY=1
# A screen larger than the main window; the dialogs are centred on it. A window manager frames the
# windows as a desktop does, so the pictures show each window's title and border icons: icewm, which
# honours a window's wish for no close button (openbox ignores it), without its task bar.
wmconf=$(mktemp -d)
trap 'rm -rf "$wmconf"' EXIT
echo "ShowTaskBar=0" >"$wmconf/preferences"
shoot='"$0" docs/screenshots'
if command -v icewm >/dev/null; then
    shoot='ICEWM_PRIVCFG='"$wmconf"' icewm & sleep 1; "$0" docs/screenshots; status=$?; kill %1; exit $status'
else
    echo "screenshots.sh: no icewm (apt-get install icewm); the windows are shot without frames" >&2
fi
xvfb-run -a -s "-screen 0 1280x900x24" bash -c "$shoot" "$build/tools/screenshots/korvane-screenshots"
