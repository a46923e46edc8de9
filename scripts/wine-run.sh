#!/usr/bin/env bash
# Runs a Windows program under Wine, for ctest (CMAKE_CROSSCOMPILING_EMULATOR) and the
# screenshot script. Uses one test prefix per build folder (the nearest folder up from
# here holding CMakeCache.txt, or $VESSANE_BUILD_DIR), made once and reused: creating a
# prefix takes many seconds, running a program in a warm one a fraction of one.
#   wine-run.sh --prepare   only makes the prefix (the build does, so that no test
#                           waits for it)
set -euo pipefail

root=${VESSANE_BUILD_DIR:-}
if [ -z "$root" ]; then
  root=$PWD
  while [ "$root" != / ] && [ ! -f "$root/CMakeCache.txt" ]; do root=$(dirname "$root"); done
  [ -f "$root/CMakeCache.txt" ] || { echo "wine-run: no build folder above $PWD" >&2; exit 2; }
fi

export WINEPREFIX="$root/wine-prefix"
export WINEARCH=win64
export WINEDEBUG=-all
# No Mono or Gecko installer prompts: nothing here needs .NET or HTML. No menu
# entries in the desktop of whoever runs the tests for the shortcuts an installer makes.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="

# Windows programs with windows need an X display; tests normally run inside xvfb-run.
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

# Raised whenever make_prefix changes, so that older prefixes are made again.
prefix_version=2

# (Called where set -e does not apply: each step says when it fails.)
make_prefix() {
  wineserver -k >/dev/null 2>&1 || true  # a half-made prefix left by an interrupted run
  rm -rf "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || return 1
  # Unmanaged windows: otherwise every window close waits on the window manager that
  # Xvfb does not have.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || return 1
  # A program that crashes ends at once with a backtrace on its error output, instead of
  # waiting on a crash dialog that nobody can answer on a virtual display.
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
    >/dev/null 2>&1 || return 1
  # Wine's own bitmap fonts, so "MS Sans Serif" and dialog units are Windows' own.
  cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" || return 1
  wineserver -w
  echo "$prefix_version" >"$WINEPREFIX/.vessane-ready"
}

(
  flock 9
  # (Nothing started here may keep the lock's descriptor 9 open.) Making a prefix fails
  # on rare occasions (wineboot's error 53 on a busy machine): a second try is made.
  [ "$(cat "$WINEPREFIX/.vessane-ready" 2>/dev/null)" = "$prefix_version" ] ||
    make_prefix 9>&- || make_prefix 9>&-
  [ "${1:-}" = --prepare ] && exit 0
  # When no server runs yet, start one that outlives each test by a while, and Wine's
  # background processes with it, away from the caller's output: ctest waits for every
  # holder of a test's output pipe to close, which would add seconds to each test.
  if wineserver -p15 </dev/null >/dev/null 2>&1 9>&-; then
    wine cmd /c exit </dev/null >/dev/null 2>&1 9>&- || true
  fi
) 9>"$root/wine-prefix.lock"

[ "${1:-}" = --prepare ] && exit 0
exec wine "$@"
