#!/usr/bin/env bash
# The core, the command line and their tests built with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer (float-to-integer overflow included), then run. Any finding
# stops the run: nothing is recovered from and nothing is suppressed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh core reliability
build=${BUILD_DIR:-build-asan}
sanitize="-fsanitize=address,undefined,float-cast-overflow -fno-sanitize-recover=all"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++-14 -DVESSANE_GUI=OFF -DBUILD_TESTING=ON \
  -DCMAKE_CXX_FLAGS="$sanitize -fno-omit-frame-pointer" \
  -DCMAKE_EXE_LINKER_FLAGS="$sanitize"
cmake --build "$build" -j"$(nproc)"
export ASAN_OPTIONS=abort_on_error=0:detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
if command -v llvm-symbolizer-14 >/dev/null; then
  export ASAN_SYMBOLIZER_PATH=$(command -v llvm-symbolizer-14)
fi
ctest --test-dir "$build" --output-on-failure --timeout 300 -j"$(nproc)"
echo "==> the same tests under LC_ALL=fr_FR.UTF-8"
LC_ALL=fr_FR.UTF-8 ctest --test-dir "$build" --output-on-failure --timeout 300 -j"$(nproc)"
