#!/usr/bin/env bash
# A short run of every fuzz target from the committed seeds, as part of the test command:
# a fixed number of inputs from a fixed seed (about 10 s each here), so that its outcome
# depends on neither the machine's speed nor its load. Longer runs: scripts/fuzz.sh SECONDS.
set -euo pipefail
cd "$(dirname "$0")/.."
export FUZZ_RUNS=${FUZZ_RUNS:-form_fuzzer=300000 unit_switch_fuzzer=200000 batch_fuzzer=5000}
exec scripts/fuzz.sh
