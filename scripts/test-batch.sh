#!/usr/bin/env bash
# The batch at scale, beyond the unit tests: a large cohort with rows of every shape
# (errors, quoted commas, quotes and line breaks, short and long rows, cells longer than
# a block) gives the same bytes with any --jobs, to standard output or to a file.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh core
scripts/build-preset.sh dev vessane-cli
cli=build/dev/cli/vessane-cli
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

awk 'BEGIN {
  print "sex,age,note,systolic,diastolic,unit,total,hdl,smoker,diabetes"
  split("Femme Homme 0 1 x", sexes, " ")
  long = "y"; while (length(long) < 300000) long = long long
  for (i = 0; i < 300000; i++) {
    note = i % 11 == 0 ? "\"a,b\"\"c\nd\"" : i % 13 == 0 ? "x\"y" : "n" i
    if (i % 50000 == 7) note = long (i % 100000 == 7 ? "\"" : "")
    line = sexes[i % 5 + 1] "," 25 + i % 55 "," note "," 90 + i * 7 % 170 "," 50 + i * 3 % 70 ","
    line = line (i % 3 ? "g/L," 1 + i % 4 "." i % 10 ",0." 3 + i % 6 : "mmol/L,5.9" i % 10 ",1.2")
    line = line "," (i % 17 == 3 ? 2 : i % 2) "," (i % 23 == 0)
    if (i % 97 == 0) line = line ",extra"
    if (i % 89 == 0) line = "Homme,50"
    print line
  }
}' > "$work/rows.csv"

"$cli" --batch "$work/rows.csv" --jobs 1 > "$work/one.csv"
[ "$(grep -c ',ERREUR,' "$work/one.csv")" -gt 1000 ] || { echo "too few errors to test" >&2; exit 1; }
for jobs in 2 3 7 16; do
  "$cli" --batch "$work/rows.csv" --jobs "$jobs" | cmp - "$work/one.csv"
  "$cli" --batch - --jobs "$jobs" < "$work/rows.csv" | cmp - "$work/one.csv"
done
"$cli" --batch "$work/rows.csv" -o "$work/out.csv"
cmp "$work/out.csv" "$work/one.csv"
echo "==> batch: the same $(wc -c < "$work/one.csv") bytes with --jobs 1, 2, 3, 7, 16 and -o"
