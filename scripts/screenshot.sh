#!/usr/bin/env bash
# Photographs the window on a virtual display (Xvfb, with openbox drawing the frame)
# and writes the picture, cropped to the window, to docs/screenshot-linux.png.
# Usage: scripts/screenshot.sh [program [picture]]   (default: build/dev/app/vessane)
# KEYS="Tab ctrl+a 2 9" types those keys (xdotool's names) into the window first.
set -euo pipefail
cd "$(dirname "$0")/.."
program=$(realpath -m "${1:-build/dev/app/vessane}")
picture=$(realpath -m "${2:-docs/screenshot-linux.png}")
[ -x "$program" ] || { echo "screenshot: no $program; build first (scripts/run.sh builds)" >&2; exit 2; }
for tool in xvfb-run openbox import convert; do
  command -v "$tool" >/dev/null || { echo "screenshot: $tool missing: scripts/install-deps.sh qt" >&2; exit 2; }
done
mkdir -p "$(dirname "$picture")"
raw=$(mktemp --suffix=.png)
trap 'rm -f "$raw"' EXIT

# The screen is black; the window, centred, is the only thing on it, so trimming the
# black border leaves the window with its frame.
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 480x480x24 -dpi 96" bash -c '
  openbox >/dev/null 2>&1 & wm=$!
  sleep 1
  "$1" & app=$!
  sleep 3
  if [ -n "$3" ]; then xdotool key --delay 100 $3; sleep 1; fi
  import -window root "$2"
  kill "$app" "$wm" 2>/dev/null || true
  wait 2>/dev/null || true
' screenshot "$program" "$raw" "${KEYS:-}"
convert "$raw" -trim +repage "$picture"
echo "screenshot: $picture"
