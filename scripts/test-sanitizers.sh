#!/usr/bin/env bash
# The core, the command line and their tests built with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer (float-to-integer overflow included), then run. Any finding
# stops the run: nothing is recovered from and nothing is suppressed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh core reliability
scripts/build-preset.sh asan
if command -v llvm-symbolizer-14 >/dev/null; then
  export ASAN_SYMBOLIZER_PATH=$(command -v llvm-symbolizer-14)
fi
scripts/ctest-preset.sh asan
echo "==> the same tests under LC_ALL=fr_FR.UTF-8"
LC_ALL=fr_FR.UTF-8 scripts/ctest-preset.sh asan
