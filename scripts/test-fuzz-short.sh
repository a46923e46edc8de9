#!/usr/bin/env bash
# A short, bounded run of every fuzz target (about 10 s each, from the committed seeds),
# as part of the test command. Longer runs: scripts/fuzz.sh SECONDS.
set -euo pipefail
cd "$(dirname "$0")/.."
exec scripts/fuzz.sh "${FUZZ_SECONDS:-10}"
