#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
for step in scripts/test-native.sh \
            scripts/test-batch.sh \
            scripts/test-accessibility.sh \
            scripts/test-sanitizers.sh \
            scripts/test-fuzz-short.sh \
            scripts/test-python.sh \
            scripts/test-r.sh \
            scripts/test-web.sh \
            scripts/test-win32.sh \
            scripts/test-packages.sh; do
  if [ -x "$step" ]; then
    echo "==> $step"
    "$step"
  fi
done
echo "==> all tests passed"
