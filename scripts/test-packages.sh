#!/usr/bin/env bash
# The release packages: builds dist/ with scripts/package.sh, checks that a second run
# and a run after a failed one give the same files with nothing stale, then checks the
# Debian package (tests/packaging/check_deb.sh) and the Windows installers and zips
# under Wine (tests/packaging/check_windows.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh core qt win32 packaging

# The Windows window tests' driver, run on the installed program.
scripts/build-preset.sh win64 vessane_window_tests

# What a run gives: the file names, the bytes of the .deb and the zips, and the tables
# of the MSIs (wixl stamps each MSI with its build time and a fresh package code).
snapshot() {
  (cd dist && ls -A && sha256sum -- *.deb *.zip)
  for msi in "$PWD"/dist/*.msi; do
    # (msiinfo writes the streams of a table, such as the icon, into the current folder.)
    for table in $(msiinfo tables "$msi" | grep -v '^_'); do
      (cd "$scratch" && msiinfo export "$msi" "$table")
    done | sha256sum | sed "s|-\$|$(basename "$msi") tables|"
  done
}
quiet_package() { scripts/package.sh >"$log" 2>&1 || { cat "$log"; return 1; }; }
log=$(mktemp)
scratch=$(mktemp -d)
trap 'rm -rf "$log" "$scratch"' EXIT

echo "==> scripts/package.sh"
scripts/package.sh
first=$(snapshot)

echo "==> a failed run leaves dist/ as it was; the next run leaves nothing stale"
touch dist/vessane_0.9-1_amd64.deb
printf '#!/bin/sh\necho "wixl: failing on purpose" >&2\nexit 1\n' >"$scratch/wixl"
chmod +x "$scratch/wixl"
if PATH=$scratch:$PATH scripts/package.sh >"$log" 2>&1; then
  echo "package.sh succeeded without wixl" >&2; exit 1
fi
[ -f dist/vessane_0.9-1_amd64.deb ] && [ -z "$(ls -d dist.tmp.* dist.old 2>/dev/null)" ] ||
  { echo "a failed run changed dist/ or left its scratch folder" >&2; exit 1; }
quiet_package
diff <(echo "$first") <(snapshot) || { echo "a second run gave other files" >&2; exit 1; }

echo "==> the Debian package"
tests/packaging/check_deb.sh dist
echo "==> the Windows installers and zips"
tests/packaging/check_windows.sh dist build/win64

echo "==> dist/"
ls -l dist
