#!/usr/bin/env bash
# Runs a test preset of CMakePresets.json, then fails if any test was skipped that the
# README's list of tests that may skip does not name: a skip is never silent.
#   scripts/ctest-preset.sh PRESET [ctest options...]
set -euo pipefail
cd "$(dirname "$0")/.."
preset=$1
shift
mkdir -p build
report=$PWD/build/junit-$preset.xml
ctest --preset "$preset" --output-junit "$report" "$@"
scripts/check-skips.py junit "$report"
