#!/usr/bin/env bash
# Installs the Debian packages listed in scripts/deps/<group>.txt for each group named,
# only those that are missing. Uses sudo when not run as root.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

missing=()
for group in "$@"; do
  # Node.js with its npm: Debian's, unless a Node is already on the PATH (a newer one
  # installed from elsewhere is kept; Debian's npm package would conflict with its npm).
  if [ "$group" = node ]; then
    command -v node >/dev/null && command -v npm >/dev/null || missing+=(nodejs npm)
    continue
  fi
  list="$here/deps/$group.txt"
  [ -f "$list" ] || { echo "install-deps: no package list for '$group'" >&2; exit 2; }
  while read -r package; do
    case "$package" in ''|'#'*) continue ;; esac
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$package")
  done < "$list"
done

if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  as_root apt-get -o DPkg::Lock::Timeout=900 update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 install -y -qq --no-install-recommends "${missing[@]}"
fi

# The tests also run under a French locale, where printf and strtod use a comma.
if printf '%s\n' "$@" | grep -qx core && ! locale -a 2>/dev/null | grep -qi '^fr_FR\.utf-\?8$'; then
  as_root sed -i 's/^# *\(fr_FR.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^fr_FR.UTF-8 UTF-8' /etc/locale.gen || echo 'fr_FR.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
  as_root locale-gen >/dev/null
fi
