#!/usr/bin/env bash
# Configures and builds one preset of CMakePresets.json into build/<preset>, the one way
# every script builds: scripts/build-preset.sh PRESET [-DVAR=VALUE...] [TARGET...]
# (the -D arguments go to the configure step).
set -euo pipefail
cd "$(dirname "$0")/.."
preset=$1
shift
# One build of a folder at a time: the test command's two lanes may both ask for one.
if [ "${VESSANE_BUILDING_PRESET:-}" != "$preset" ]; then
  mkdir -p build
  VESSANE_BUILDING_PRESET=$preset exec flock --close "build/$preset.lock" "$0" "$preset" "$@"
fi
settings=()
while [ "$#" -gt 0 ] && [[ $1 == -D* ]]; do settings+=("$1"); shift; done
cmake --preset "$preset" "${settings[@]}" >/dev/null
if [ "$#" -gt 0 ]; then
  cmake --build --preset "$preset" --target "$@"
else
  cmake --build --preset "$preset"
fi
