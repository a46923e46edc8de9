#!/usr/bin/env bash
# The one-core batch's cost, counted in instructions (which, unlike time, the machine's
# load does not change): callgrind over generated rows, Release build, with and without
# --score2. Each is counted at two sizes, so that the start-up cost cancels out of the
# figure a row; prints both and their ratio. The output is checked against a run outside
# valgrind.
# Usage: bench/batch_instructions.sh   (SPEED_ROWS=N for another count)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh core bench
build=build/bench
rows=${SPEED_ROWS:-100000}
scripts/build-preset.sh bench vessane-cli vessane_gen_rows >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$build/bench/vessane_gen_rows" "$((2 * rows))" > "$work/big.csv"
head -n "$((rows + 1))" "$work/big.csv" > "$work/small.csv"
count() {  # instructions for a file and options
  valgrind --tool=callgrind --callgrind-out-file="$work/cg.out" \
    "$build/cli/vessane-cli" --batch "$1" --jobs 1 --quiet "${@:2}" > "$work/out.csv" 2> /dev/null
  "$build/cli/vessane-cli" --batch "$1" --jobs 1 --quiet "${@:2}" | cmp - "$work/out.csv"
  awk '/^summary:/ { print $2 }' "$work/cg.out"
}
plain=$(( ($(count "$work/big.csv") - $(count "$work/small.csv")) / rows ))
score2=$(( ($(count "$work/big.csv" --score2) - $(count "$work/small.csv" --score2)) / rows ))
echo "==> batch --jobs 1: $plain instructions a row; with --score2: $score2" \
     "($(awk -v a="$score2" -v b="$plain" 'BEGIN { printf "%.3f", a / b }') x)"
