#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test. A step that is missing
# or not executable fails the command: no test is ever left out silently.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS
steps=(scripts/test-native.sh
       scripts/test-batch.sh
       scripts/test-accessibility.sh
       scripts/test-sanitizers.sh
       scripts/test-fuzz-short.sh
       scripts/test-python.sh
       scripts/test-r.sh
       scripts/test-web.sh
       scripts/test-win32.sh
       scripts/test-packages.sh)
for step in "${steps[@]}"; do
  [ -x "$step" ] || { echo "test: $step is missing or not executable" >&2; exit 1; }
done
for step in "${steps[@]}"; do
  echo "==> $step"
  begin=$SECONDS
  "$step"
  echo "==> $step: $((SECONDS - begin)) s"
done
echo "==> all tests passed in $(((SECONDS - start) / 60)) min $(((SECONDS - start) % 60)) s"
