#!/usr/bin/env bash
# Native build (core, command line, Qt window) and its tests, in the C and a French locale.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh core qt
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON -DVESSANE_GUI=ON
cmake --build "$build" -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure --timeout 300 -j"$(nproc)"
echo "==> the same tests under LC_ALL=fr_FR.UTF-8"
LC_ALL=fr_FR.UTF-8 ctest --test-dir "$build" --output-on-failure --timeout 300 -j"$(nproc)"
