#!/usr/bin/env bash
# Native build (core, command line, Qt window) and its tests, in the C and a French locale.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh core qt
scripts/build-preset.sh dev
scripts/ctest-preset.sh dev
echo "==> the same tests under LC_ALL=fr_FR.UTF-8"
scripts/ctest-preset.sh dev-fr
