#!/usr/bin/env bash
# Configures and builds one preset of CMakePresets.json into build/<preset>, the one way
# every script builds: scripts/build-preset.sh PRESET [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
preset=$1
shift
cmake --preset "$preset" >/dev/null
if [ "$#" -gt 0 ]; then
  cmake --build --preset "$preset" --target "$@"
else
  cmake --build --preset "$preset"
fi
