#!/usr/bin/env bash
# The Windows build: cross-builds vessane.exe and vessane-cli.exe for x86_64 (preset
# win64) and i686 (preset win32) with MinGW-w64, then runs the x86_64 tests under Wine on
# a virtual X display. The i686 programs are built only: this machine's kernel cannot run
# 32-bit programs.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh core win32
scripts/build-preset.sh win64
scripts/build-preset.sh win32 vessane vessane-cli
ls -l build/win64/ui/win32/vessane.exe build/win32/ui/win32/vessane.exe \
      build/win64/cli/vessane-cli.exe build/win32/cli/vessane-cli.exe

# One virtual display for every test; the prefix's server is ended with it.
export VESSANE_BUILD_DIR=$PWD/build/win64
status=0
xvfb-run -a -s "-screen 0 1024x768x24" scripts/ctest-preset.sh win64 || status=$?
WINEPREFIX=$VESSANE_BUILD_DIR/wine-prefix wineserver -k 2>/dev/null || true
exit "$status"
