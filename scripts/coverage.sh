#!/usr/bin/env bash
# Line and branch coverage of engine/, form/ and cli/ by the core and command-line tests
# (g++ --coverage, gcovr). Prints a summary per folder and the lines and branches left
# uncovered; an HTML report goes to build-cov/coverage/index.html.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh core reliability
build=${COV_BUILD_DIR:-build-cov}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=g++ -DVESSANE_GUI=OFF \
  -DBUILD_TESTING=ON -DCMAKE_CXX_FLAGS="--coverage -O0 -fprofile-update=atomic" -DCMAKE_EXE_LINKER_FLAGS="--coverage" \
  >/dev/null
cmake --build "$build" -j"$(nproc)"
find "$build" -name '*.gcda' -delete
ctest --test-dir "$build" -j"$(nproc)" --output-on-failure >/dev/null

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
