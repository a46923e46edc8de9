#!/usr/bin/env bash
# Installs what is missing, builds, and opens the window (or, without a display, shows
# what the window would show for its default form, through the command line).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh core qt
build=build/dev
scripts/build-preset.sh dev vessane vessane-cli

if [ -x "$build/app/vessane" ]; then
  if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec "$build/app/vessane"
  fi
  echo "No display found (DISPLAY and WAYLAND_DISPLAY are empty)." >&2
  echo "Run the window on a desktop session, or here with a virtual one:" >&2
  echo "  xvfb-run -a $build/app/vessane   (then take a screenshot: scripts/screenshot.sh)" >&2
  echo "Meanwhile, the default form through the command line:" >&2
fi
exec "$build/cli/vessane-cli" --details
