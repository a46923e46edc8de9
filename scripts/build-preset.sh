#!/usr/bin/env bash
# Configures and builds one preset of CMakePresets.json into build/<preset>, the one way
# every script builds: scripts/build-preset.sh PRESET [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
preset=$1
shift
# One build of a folder at a time: the test command's two lanes may both ask for one.
if [ "${VESSANE_BUILDING_PRESET:-}" != "$preset" ]; then
  mkdir -p build
  VESSANE_BUILDING_PRESET=$preset exec flock --close "build/$preset.lock" "$0" "$preset" "$@"
fi
cmake --preset "$preset" >/dev/null
if [ "$#" -gt 0 ]; then
  cmake --build --preset "$preset" --target "$@"
else
  cmake --build --preset "$preset"
fi
