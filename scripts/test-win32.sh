#!/usr/bin/env bash
# The Windows build: cross-builds vessane.exe and vessane-cli.exe for x86_64
# (build-win64) and i686 (build-win32) with MinGW-w64, then runs the x86_64 tests under
# Wine on a virtual X display. The i686 programs are built only: this machine's kernel
# cannot run 32-bit programs.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh win32

jobs=${JOBS:-2}
for arch in x86_64:build-win64 i686:build-win32; do
  build=${arch#*:}
  testing=ON
  [ "${arch%%:*}" = i686 ] && testing=OFF
  cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-mingw-${arch%%:*}.cmake" \
        -DCMAKE_BUILD_TYPE=MinSizeRel -DBUILD_TESTING="$testing" >/dev/null
  cmake --build "$build" -j"$jobs"
done
ls -l build-win64/ui/win32/vessane.exe build-win32/ui/win32/vessane.exe \
      build-win64/cli/vessane-cli.exe build-win32/cli/vessane-cli.exe

# One virtual display for every test; the prefix's server is ended with it.
export VESSANE_BUILD_DIR=$PWD/build-win64
status=0
xvfb-run -a -s "-screen 0 1024x768x24" \
  ctest --test-dir build-win64 --output-on-failure --timeout 300 -j"$jobs" || status=$?
WINEPREFIX=$VESSANE_BUILD_DIR/wine-prefix wineserver -k 2>/dev/null || true
exit "$status"
