#!/usr/bin/env bash
# Takes docs/screenshot-windows.png: vessane.exe as it opens, under Wine on a virtual
# display. Builds build-win64 first if needed (see scripts/test-win32.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
build=$PWD/${BUILD_DIR:-build-win64}
out=$PWD/docs/screenshot-windows.png
if [ ! -f "$build/ui/win32/vessane.exe" ]; then
  cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-x86_64.cmake \
        -DCMAKE_BUILD_TYPE=MinSizeRel
  cmake --build "$build" -j2 --target vessane
fi
mkdir -p docs
export VESSANE_BUILD_DIR=$build

if [ "${1:-}" = --inside ]; then  # run again by itself inside the virtual display
  exe=$build/ui/win32/vessane.exe
  scripts/wine-run.sh --prepare
  scripts/wine-run.sh "$exe" &
  # Wait until the window stands out from the black root, then let it finish painting.
  for _ in $(seq 50); do
    import -window root -trim +repage "$out" 2>/dev/null  # warns while the root is empty
    [ "$(identify -format %w "$out")" -gt 100 ] && break
    sleep 0.2
  done
  sleep 1
  import -window root -trim +repage "$out"
  WINEPREFIX=$VESSANE_BUILD_DIR/wine-prefix wineserver -k
  exit 0
fi
xvfb-run -a -s "-screen 0 640x480x24" "$0" --inside
identify "$out"
