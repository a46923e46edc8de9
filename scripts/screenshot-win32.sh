#!/usr/bin/env bash
# Takes docs/screenshot-windows.png: vessane.exe as it opens, under Wine on a virtual
# display. Builds the win64 preset's window first.
#   DPI=144 scripts/screenshot-win32.sh   the same at 150 %, in a prefix of its own set
#                                         to that DPI: docs/screenshot-windows-150.png
set -euo pipefail
cd "$(dirname "$0")/.."
build=$PWD/build/win64
dpi=${DPI:-96}
out=$PWD/docs/screenshot-windows.png
[ "$dpi" = 96 ] || out=$PWD/docs/screenshot-windows-$((dpi * 100 / 96)).png
[ "${1:-}" = --inside ] || scripts/build-preset.sh win64 vessane
mkdir -p docs
export VESSANE_BUILD_DIR=$build
[ "$dpi" = 96 ] || export VESSANE_BUILD_DIR=$build/dpi-$dpi
mkdir -p "$VESSANE_BUILD_DIR"

if [ "${1:-}" = --inside ]; then  # run again by itself inside the virtual display
  exe=$build/ui/win32/vessane.exe
  scripts/wine-run.sh --prepare
  if [ "$dpi" != 96 ]; then
    scripts/wine-run.sh reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
      /d "$dpi" /f >/dev/null
    WINEPREFIX=$VESSANE_BUILD_DIR/wine-prefix wineserver -k
  fi
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
xvfb-run -a -s "-screen 0 1024x768x24" "$0" --inside
identify "$out"
