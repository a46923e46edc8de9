#!/usr/bin/env bash
# Runs a command on a display and buses of its own: a virtual X display (Xvfb), a private
# D-Bus session bus and, on it, a private accessibility (AT-SPI) bus. Nothing of a
# desktop session the caller may be in is reached, and everything started here is
# stopped when the command ends.
#   private_session.sh COMMAND [ARG...]
set -euo pipefail

if [ "${1:-}" != --inside ]; then
  runtime=$(mktemp -d "${TMPDIR:-/tmp}/vessane-a11y.XXXXXX")
  xvfb=
  cleanup() {
    if [ -n "$xvfb" ]; then
      kill "$xvfb" 2>/dev/null || true
      wait "$xvfb" 2>/dev/null || true
    fi
    rm -rf "$runtime"
  }
  trap cleanup EXIT
  # Forget any session the caller is in; settings are read from memory, not from the
  # user's configuration.
  unset DBUS_SESSION_BUS_ADDRESS DBUS_SYSTEM_BUS_ADDRESS AT_SPI_BUS_ADDRESS DISPLAY \
        WAYLAND_DISPLAY XAUTHORITY SESSION_MANAGER
  export XDG_RUNTIME_DIR=$runtime HOME=$runtime GSETTINGS_BACKEND=memory
  # The server picks a free display number itself and writes it once it accepts
  # clients: no race with other virtual displays on the machine. It never resets when
  # its last client leaves, which would refuse the next one for a moment.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$runtime/display" 2>"$runtime/xvfb.log" &
  xvfb=$!
  for _ in $(seq 600); do  # a bound for a hang, far beyond a loaded machine
    [ -s "$runtime/display" ] && break
    kill -0 "$xvfb" 2>/dev/null || { cat "$runtime/xvfb.log" >&2; exit 1; }
    sleep 0.1
  done
  export DISPLAY=":$(head -n1 "$runtime/display")"
  status=0
  dbus-run-session -- "$0" --inside "$@" || status=$?
  exit "$status"
fi
shift

# The accessibility bus: its launcher starts a bus daemon of its own, which starts the
# registry on demand, and tells programs on the session bus the new bus's address. All
# three run in a process group of their own, stopped together before the display goes.
setsid /usr/libexec/at-spi-bus-launcher --launch-immediately &
launcher=$!
stop_launcher() {
  kill -TERM -- "-$launcher" 2>/dev/null || true
  wait "$launcher" 2>/dev/null || true
}
trap stop_launcher EXIT
for _ in $(seq 600); do  # a bound for a hang, far beyond a loaded machine
  # Asked without activating it: the one started above must be the one answering.
  if dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
       org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus 2>/dev/null | grep -q 'boolean true'; then
    break
  fi
  kill -0 "$launcher" 2>/dev/null || exit 1
  sleep 0.1
done
"$@"
