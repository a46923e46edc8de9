#!/usr/bin/env bash
# Checks dist/'s Windows packages under Wine, in a scratch prefix of their own:
# the portable zips, the x64 MSI (silent install, the programs run, the window opens
# with its default result, also at 144 DPI, Start menu shortcut, uninstall entry,
# repair by installing again, removal after files were deleted by hand) and the x86
# MSI (its files under the 32-bit Program Files, then removed). Wine here runs 64-bit
# programs only.
#   tests/packaging/check_windows.sh dist build/win64
set -euo pipefail
dist=$(cd "$1" && pwd)
build=$(cd "$2" && pwd)
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
if [ -z "${DISPLAY:-}" ]; then  # one virtual display for every program run here
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$source_dir/tests/packaging/check_windows.sh" \
    "$dist" "$build"
fi
cd "$source_dir"
window_tests=$build/tests/win32/vessane_window_tests.exe
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
scratch=$(mktemp -d)
export VESSANE_BUILD_DIR=$scratch WINEPREFIX=$scratch/wine-prefix
trap 'wineserver -k 2>/dev/null || true; rm -rf "$scratch"' EXIT
scripts/wine-run.sh --prepare
drive_c=$WINEPREFIX/drive_c

fail() { echo "check_windows: $*" >&2; exit 1; }
wine_run() { scripts/wine-run.sh "$@"; }
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
expect_default_result() {  # the command line's answer for the default form
  local out
  out=$(wine_run "$1" | tr -d '\r')
  [ "$out" = "10.3 %" ] || fail "$1 printed '$out'"
}
registry() {  # a key's values as text, or nothing when it does not exist
  rm -f "$scratch/key.reg"
  wine_run reg export "$1" "$(windows_path "$scratch/key.reg")" >/dev/null 2>&1 || return 0
  iconv -f UTF-16 -t UTF-8 "$scratch/key.reg" | tr -d '\r'
}
shortcuts() {  # Start menu shortcuts named Vessane (Wine puts per-machine ones per user)
  find "$drive_c/ProgramData/Microsoft/Windows/Start Menu" \
       "$drive_c/users" -name Vessane.lnk 2>/dev/null || true
}

echo "--- portable zips"
for arch in win64 win32; do
  zip=$dist/vessane-$version-$arch.zip
  folder=vessane-$version-$arch
  listed=$(unzip -Z1 "$zip" | sort | tr '\n' ' ')
  [ "$listed" = "$folder/ $folder/LICENSE $folder/LISEZMOI.txt $folder/vessane-cli.exe $folder/vessane.exe " ] ||
    fail "$zip holds: $listed"
  unzip -q "$zip" -d "$scratch/$arch"
  notice=$scratch/$arch/$folder/LISEZMOI.txt
  ! grep -q $'[^\r]$' "$notice" && [ "$(tail -c 2 "$notice" | od -An -c | tr -d ' ')" = '\r\n' ] ||
    fail "$folder/LISEZMOI.txt has lines without CRLF"
done
objdump -f "$scratch/win64/vessane-$version-win64/vessane.exe" | grep -q 'pei-x86-64' || fail "win64 zip: not x86_64"
objdump -f "$scratch/win32/vessane-$version-win32/vessane.exe" | grep -q 'pei-i386' || fail "win32 zip: not i686"
expect_default_result "$(windows_path "$scratch/win64/vessane-$version-win64/vessane-cli.exe")"

echo "--- x64 installer: silent install"
msi=$(windows_path "$dist/vessane-$version-x64.msi")
product=$(msiinfo export "$dist/vessane-$version-x64.msi" Property | tr -d '\r' | sed -n 's/^ProductCode\t//p')
installed=$drive_c/Program\ Files/Vessane
uninstall_key="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$product"
wine_run msiexec /i "$msi" /qn || fail "msiexec /i failed: $?"
for file in vessane.exe vessane-cli.exe LICENSE.txt; do
  [ -f "$installed/$file" ] || fail "not installed: Program Files\\Vessane\\$file"
done
expect_default_result 'C:\Program Files\Vessane\vessane-cli.exe'
VESSANE_EXE_UNDER_TEST='C:\Program Files\Vessane\vessane.exe' \
  wine_run "$window_tests" --gtest_brief=1 --gtest_filter='WindowTest.OpensWithTheDefaults:DpiLayout.*' ||
  fail "the installed window does not open with its defaults"
link=$(shortcuts)
[ "$(printf '%s\n' "$link" | grep -c .)" -eq 1 ] || fail "Start menu shortcuts: '$link'"
strings -el "$link" | grep -qi 'vessane.exe' || fail "the shortcut does not start vessane.exe"
entry=$(registry "$uninstall_key")
for value in '"DisplayName"="Vessane"' "\"DisplayVersion\"=\"$version\"" \
             '"Publisher"="Les développeurs de Vessane"'; do
  grep -qF "$value" <<<"$entry" || fail "uninstall entry lacks $value"
done
registry 'HKLM\Software\Classes\Installer\Products' | grep -qF "\"ProductIcon\"=\"C:\\\\windows\\\\Installer\\\\$product\\\\vessane.ico\"" ||
  fail "the installed program has no icon"
[ -f "$drive_c/windows/Installer/$product/vessane.ico" ] || fail "the program's icon is not kept"

echo "--- x64 installer: the window at 144 DPI"
wine_run reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null
wineserver -k; wineserver -w
VESSANE_EXPECTED_DPI=144 VESSANE_EXE_UNDER_TEST='C:\Program Files\Vessane\vessane.exe' \
  wine_run "$window_tests" --gtest_brief=1 --gtest_filter='WindowTest.OpensWithTheDefaults:DpiLayout.*' ||
  fail "the installed window at 144 DPI"
wine_run reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null
wineserver -k; wineserver -w

echo "--- x64 installer: installing again repairs"
rm "$installed/vessane-cli.exe"
wine_run msiexec /i "$msi" /qn || fail "msiexec /i over the installation failed: $?"
expect_default_result 'C:\Program Files\Vessane\vessane-cli.exe'

echo "--- x64 installer: silent removal after a file was deleted by hand"
rm "$installed/vessane.exe"
wine_run msiexec /x "$msi" /qn || fail "msiexec /x failed: $?"
[ ! -e "$installed" ] || fail "left behind: $(ls -A "$installed")"
[ -z "$(shortcuts)" ] || fail "shortcut left behind: $(shortcuts)"
[ -z "$(registry "$uninstall_key")" ] || fail "uninstall entry left behind"

echo "--- x86 installer: 32-bit Program Files"
msi=$(windows_path "$dist/vessane-$version-x86.msi")
product=$(msiinfo export "$dist/vessane-$version-x86.msi" Property | tr -d '\r' | sed -n 's/^ProductCode\t//p')
installed=$drive_c/Program\ Files\ \(x86\)/Vessane
wine_run msiexec /i "$msi" /qn || fail "msiexec /i (x86) failed: $?"
for file in vessane.exe vessane-cli.exe LICENSE.txt; do
  [ -f "$installed/$file" ] || fail "not installed: Program Files (x86)\\Vessane\\$file"
done
[ ! -e "$drive_c/Program Files/Vessane" ] || fail "the x86 package installed into the 64-bit Program Files"
objdump -f "$installed/vessane.exe" | grep -q 'pei-i386' || fail "installed x86 program is not i686"
registry "HKLM\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$product" |
  grep -qF '"DisplayName"="Vessane"' || fail "no 32-bit uninstall entry"
wine_run msiexec /x "$msi" /qn || fail "msiexec /x (x86) failed: $?"
[ ! -e "$installed" ] || fail "left behind: $(ls -A "$installed")"
[ -z "$(shortcuts)" ] || fail "shortcut left behind: $(shortcuts)"
echo "check_windows: zips and installers passed"
