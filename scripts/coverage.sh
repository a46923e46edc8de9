#!/usr/bin/env bash
# Line and branch coverage of engine/, form/ and cli/ by the core and command-line tests
# (g++ --coverage, gcovr). Prints a summary per folder and the lines and branches left
# uncovered; an HTML report goes to build/coverage/coverage/index.html.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh core reliability
build=build/coverage
scripts/build-preset.sh coverage
find "$build" -name '*.gcda' -delete
ctest --preset coverage >/dev/null

# Branches the compiler adds for exceptions and for code it knows unreachable are no
# input's to take; they are left out.
common=(--root . --exclude-throw-branches
        --exclude-unreachable-branches)
# Only the objects of our code and tests (not CMake's compiler probe).
objects=("$build/engine" "$build/form" "$build/cli" "$build/tests")
for folder in engine form cli; do
  echo "==> $folder/"
  # gcovr replaces the file it writes, so never point it at a device such as /dev/null.
  gcovr "${common[@]}" --filter "$folder/" --print-summary --txt "$build/summary-$folder.txt" \
    "${objects[@]}" | sed 's/^/    /'
done
echo "==> uncovered lines (file: line numbers)"
gcovr "${common[@]}" --filter 'engine/' --filter 'form/' --filter 'cli/' --txt - "${objects[@]}" \
  | awk '$4 ~ /%$/ && $4 != "100%" {print}' || true
echo "==> branches per file"
gcovr "${common[@]}" --filter 'engine/' --filter 'form/' --filter 'cli/' --branches --txt - "${objects[@]}"
mkdir -p "$build/coverage"
gcovr "${common[@]}" --filter 'engine/' --filter 'form/' --filter 'cli/' \
  --html-details "$build/coverage/index.html" "${objects[@]}"
echo "==> HTML report: $build/coverage/index.html"
