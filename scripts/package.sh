#!/usr/bin/env bash
# Builds the release packages into dist/, made afresh on every run:
#   vessane_<version>-1_amd64.deb          Debian package (CPack)
#   vessane-<version>-x64.msi, -x86.msi    Windows installers (wixl)
#   vessane-<version>-win64.zip, -win32.zip  portable Windows programs
# Builds what it needs: the presets package (native, hardened as Debian builds its packages,
# no tests), win64 and win32.
# Everything is made in a scratch folder that replaces dist/ only once complete: a
# failed run leaves the previous dist/ as it was, and nothing stale is ever shipped.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh core qt win32 packaging

stage=$(mktemp -d "$PWD/dist.tmp.XXXXXX")
trap 'rm -rf "$stage"' EXIT

# The Debian package.
native=$PWD/build/package
# The package preset, with Debian's hardening flags.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
# The package ships its programs stripped: debug information would be compiled for nothing.
export DEB_CXXFLAGS_STRIP=-g
scripts/build-preset.sh package \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$native/CMakeCache.txt")
# Every file packed bears the release's time, so that a run gives the same bytes.
SOURCE_DATE_EPOCH=$(cat "$native/packaging/source-date-epoch")
export SOURCE_DATE_EPOCH
(cd "$native" && cpack -G DEB -B "$stage/cpack" >/dev/null)
mv "$stage"/cpack/vessane_*.deb "$stage/"
rm -rf "$stage/cpack"

# The Windows installers and portable zips, for x86_64 and i686.
for target in win64:x64 win32:x86; do
  IFS=: read -r zip_arch msi_arch <<<"$target"
  build=build/$zip_arch
  scripts/build-preset.sh "$zip_arch" vessane vessane-cli
  (cd "$build/packaging" && wixl --arch "$msi_arch" -o "$stage/vessane-$version-$msi_arch.msi" vessane.wxs)

  folder=vessane-$version-$zip_arch
  mkdir -p "$stage/zip/$folder"
  cp "$build/ui/win32/vessane.exe" "$build/cli/vessane-cli.exe" LICENSE \
     "$build/packaging/LISEZMOI.txt" "$stage/zip/$folder/"
  touch -d "@$SOURCE_DATE_EPOCH" "$stage/zip/$folder" "$stage/zip/$folder"/*
  (cd "$stage/zip" && TZ=UTC zip -q -X -9 "$stage/$folder.zip" "$folder" \
     "$folder/vessane.exe" "$folder/vessane-cli.exe" "$folder/LICENSE" "$folder/LISEZMOI.txt")
done
rm -rf "$stage/zip"

# Only a complete set takes dist/'s place.
rm -rf dist.old
[ ! -e dist ] || mv dist dist.old
chmod 755 "$stage"
mv "$stage" dist
rm -rf dist.old
trap - EXIT
ls -l dist
