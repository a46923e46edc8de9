#!/usr/bin/env bash
# The one-core batch's cost, counted in instructions (which, unlike time, the machine's
# load does not change): callgrind over generated rows, Release build.
# Usage: bench/batch_instructions.sh   (SPEED_ROWS=N for another count)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh core bench
build=build/bench
rows=${SPEED_ROWS:-100000}
scripts/build-preset.sh bench vessane-cli vessane_gen_rows >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$build/bench/vessane_gen_rows" "$rows" > "$work/rows.csv"
valgrind --tool=callgrind --callgrind-out-file="$work/callgrind.out" \
  "$build/cli/vessane-cli" --batch "$work/rows.csv" --jobs 1 > "$work/out.csv" 2> "$work/valgrind.txt"
"$build/cli/vessane-cli" --batch "$work/rows.csv" --jobs 1 | cmp - "$work/out.csv"
total=$(awk '/^summary:/ { print $2 }' "$work/callgrind.out")
per_row=$(( total / rows ))
echo "==> batch --jobs 1: $per_row instructions a row over $rows rows"
