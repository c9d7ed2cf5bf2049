#!/usr/bin/env bash
# Installs what is missing, builds the editor (and the simulated unit, for trying it without a unit)
# and starts the editor.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/deps.sh
cmake -S . -B build-editor -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-editor -j "$(nproc)" --target korvane-editor korvane-sim
exec build-editor/app/korvane-editor
