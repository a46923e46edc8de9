#!/usr/bin/env bash
# Checks dist/'s Debian package: lintian finds no error and no warning, apt can install
# it here, and its programs run from the unpacked files.
#   tests/packaging/check_deb.sh dist
set -euo pipefail
deb=$(ls "$(cd "$1" && pwd)"/vessane_*_amd64.deb)
cd "$(dirname "$0")/../.."
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "check_deb: $*" >&2; exit 1; }
as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

echo "--- lintian $deb"
status=0
lintian --display-info --fail-on error,warning "$deb" >"$scratch/lintian.log" 2>&1 || status=$?
grep -v 'running with root privileges' "$scratch/lintian.log" || echo "(no tag)"
[ "$status" -eq 0 ] || fail "lintian found errors or warnings"

echo "--- apt-get install --simulate"
ls /var/lib/apt/lists/*_Packages >/dev/null 2>&1 || as_root apt-get update -qq
apt-get install --simulate "$deb" >"$scratch/apt.log" || { cat "$scratch/apt.log"; fail "apt cannot install $deb"; }
grep -q '^Inst vessane ' "$scratch/apt.log" || grep -q 'vessane is already the newest' "$scratch/apt.log" ||
  { cat "$scratch/apt.log"; fail "apt would not install vessane"; }

echo "--- control fields"
[ "$(dpkg-deb -f "$deb" Version)" = "$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/package/CMakeCache.txt)-1" ] ||
  fail "package version is not the project's"
for field in Section:science Priority:optional; do
  [ "$(dpkg-deb -f "$deb" "${field%%:*}")" = "${field#*:}" ] || fail "${field%%:*} is not ${field#*:}"
done
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || fail "Depends does not name Qt"
dpkg-deb -f "$deb" Depends | grep -qw fonts-liberation || fail "Depends does not name the font the window is laid out in"

echo "--- the unpacked programs"
root=$scratch/root
dpkg-deb -x "$deb" "$root"
for file in usr/bin/vessane usr/bin/vessane-cli usr/share/man/man1/vessane.1.gz \
            usr/share/man/man1/vessane-cli.1.gz usr/share/man/fr/man1/vessane.1.gz \
            usr/share/man/fr/man1/vessane-cli.1.gz usr/share/doc/vessane/copyright \
            usr/share/doc/vessane/changelog.Debian.gz \
            usr/share/applications/org.vessane.Vessane.desktop \
            usr/share/metainfo/org.vessane.Vessane.metainfo.xml \
            usr/share/icons/hicolor/48x48/apps/org.vessane.Vessane.png; do
  [ -f "$root/$file" ] || fail "$file missing"
done
[ "$("$root/usr/bin/vessane-cli")" = "10.3 %" ] || fail "vessane-cli does not print 10.3 %"
export XDG_RUNTIME_DIR=$scratch/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
# The window opens and keeps running until it is closed (here: ended after 5 s).
status=0
QT_QPA_PLATFORM=offscreen timeout 5 "$root/usr/bin/vessane" >"$scratch/window.log" 2>&1 || status=$?
[ "$status" -eq 124 ] || { cat "$scratch/window.log"; fail "the window ended with $status"; }
[ ! -s "$scratch/window.log" ] || { cat "$scratch/window.log"; fail "the window complained"; }
# On a display: a top-level window with the caption "Vessane" is mapped.
xvfb-run -a sh -c '"$1" & pid=$!
  for _ in $(seq 300); do
    xwininfo -root -tree | grep -q "\"Vessane\"" && { kill $pid; exit 0; }
    sleep 0.2
  done
  kill $pid; exit 1' sh "$root/usr/bin/vessane" || fail "no Vessane window on the display"
echo "check_deb: $(basename "$deb") passed"
