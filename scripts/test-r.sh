#!/usr/bin/env bash
# The R package (r/): built from r/ and the core, checked as a CRAN submission is checked
# but offline, with its tests compared with vessane-cli --batch built from the same core;
# then its tests again under a French locale (a skip the README does not allow fails the
# step) and the README's R example, whose output must be the one the README shows.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh core r
# R reads and checks in a UTF-8 session, as CRAN's checks run: in the C locale (a bare
# root shell) R keeps a file's byte-order mark in its first column's name, and the check
# itself warns that it cannot switch to UTF-8.
if [ "$(locale charmap 2>/dev/null)" != UTF-8 ]; then
  export LC_ALL=C.UTF-8
fi
out=build/r
mkdir -p "$out"
out=$(cd "$out" && pwd)

scripts/build-preset.sh dev vessane-cli
tarball=$(scripts/build-r-package.sh "$out")

# What the package's tests compare with.
export VESSANE_CLI="$PWD/build/dev/cli/vessane-cli"
export VESSANE_BATCH_FILES="$PWD/fuzz/corpus/batch_fuzzer"
export VESSANE_SHARED_CASES="$PWD/tests/data/shared_cases.csv"
export VESSANE_SPREADSHEETS="$PWD/tests/data/spreadsheets"
# The checks that need the network, turned off:
export _R_CHECK_CRAN_INCOMING_REMOTE_=FALSE  # CRAN's package list, reverse dependencies, URLs
export _R_CHECK_SYSTEM_CLOCK_=FALSE          # the clock compared with a time server
export _R_CHECK_FORCE_SUGGESTS_=FALSE        # never install suggested packages
# Our own sources compiled with the project's warnings; any warning fails the step.
makevars="$out/Makevars.warnings"
echo 'CXX20FLAGS = -g -O2 -Wall -Wextra' > "$makevars"
export R_MAKEVARS_USER="$makevars"
# The package compiled on every core.
export MAKEFLAGS="-j$(nproc)"

rm -rf "$out/vessane.Rcheck"
(cd "$out" && R CMD check --as-cran --no-manual "$tarball") || true
log="$out/vessane.Rcheck/00check.log"
status=$(grep '^Status:' "$log" || echo "Status: no result")
echo "==> R CMD check: $status"
# No ERROR, WARNING or NOTE. (The incoming feasibility check prints the maintainer as a
# note to CRAN's maintainers, which is not a NOTE.)
if [ "$status" != "Status: OK" ]; then
  cat "$log" >&2
  exit 1
fi
# Warnings in the package's own files and the core's; Rcpp's headers and the
# RcppExports.cpp it writes cast function types, which -Wextra reports.
if grep -E '^[A-Za-z0-9_]+\.(cpp|h):[0-9]+:[0-9]+: warning:' "$out/vessane.Rcheck/00install.out" |
   grep -v '^RcppExports\.cpp:'; then
  echo "compiler warnings in the package's sources (above)" >&2
  exit 1
fi

library="$out/vessane.Rcheck"  # the copy the check installed from the tarball
echo "==> the package's tests under LC_ALL=fr_FR.UTF-8"
LC_ALL=fr_FR.UTF-8 R_LIBS="$library" Rscript -e '
  args <- commandArgs(TRUE)
  results <- as.data.frame(testthat::test_dir(args[1], package = "vessane",
    load_package = "installed", reporter = "summary", stop_on_failure = TRUE))
  writeLines(paste(ifelse(results$skipped, "SKIP", "PASS"), results$test), args[2])
' "$PWD/r/tests/testthat" "$out/tests.txt"
scripts/check-skips.py testthat "$out/tests.txt"

echo "==> the README's R example, and the output it shows"
example="$out/readme-example.R"
sed -n '/^## R$/,/^## /{/^```r$/,/^```$/{/^```/d;p}}' README.md > "$example"
[ -s "$example" ] || { echo "no R example in the README's R section" >&2; exit 1; }
grep '^#> ' "$example" | sed 's/^#> //; s/ *$//' > "$out/readme-expected.txt"
R_LIBS="$library" Rscript "$example" | sed 's/ *$//' > "$out/readme-actual.txt"
[ -s "$out/readme-expected.txt" ] || { echo "the README's R example shows no output" >&2; exit 1; }
diff -u "$out/readme-expected.txt" "$out/readme-actual.txt" ||
  { echo "the README's R example prints something else than it shows" >&2; exit 1; }
