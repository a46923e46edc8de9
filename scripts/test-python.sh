#!/usr/bin/env bash
# The Python package: a wheel built offline, installed into a fresh virtual environment
# and tested there, against vessane-cli built here; then the same tests on the extension
# built under AddressSanitizer and UndefinedBehaviorSanitizer. A test that is skipped or
# a run without tests fails the step.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh core python
root=$PWD
py=/usr/bin/python3  # Debian's, with its python3-* packages
scripts/build-preset.sh dev vessane-cli
export VESSANE_CLI="$root/build/dev/cli/vessane-cli"
export VESSANE_BUILD_JOBS=$(nproc)
work="$root/build/python"

# Builds the wheel into $work/$1 and installs it into a fresh venv there.
install_wheel() {
  local dir="$work/$1"
  rm -rf "$dir" python/build python/vessane.egg-info
  "$py" -m build --no-isolation --wheel --outdir "$dir/dist" python >"$dir.log" 2>&1 ||
    { cat "$dir.log"; return 1; }
  "$py" -m venv --system-site-packages "$dir/venv"
  "$dir/venv/bin/pip" install --quiet --no-index "$dir"/dist/vessane-*.whl
  rm -rf python/build python/vessane.egg-info
}

# Runs the tests with the venv of $1 from outside the sources, so that the installed
# package is the one imported; more arguments go to pytest.
run_tests() {
  local dir="$work/$1"
  shift
  (cd "$dir" && "$dir/venv/bin/python" -c \
    'import sys, vessane; assert vessane.__file__.startswith(sys.prefix), vessane.__file__' &&
    "$dir/venv/bin/python" -m pytest -p no:cacheprovider -q -rs --junitxml="$dir/junit.xml" \
      "$@" "$root/python/tests")
  "$py" - "$dir/junit.xml" <<'CHECK'
import sys
import xml.etree.ElementTree as ET
suite = ET.parse(sys.argv[1]).getroot()
suite = suite if suite.tag == "testsuite" else suite.find("testsuite")
tests, skipped = int(suite.get("tests")), int(suite.get("skipped"))
if tests == 0 or skipped:
    sys.exit(f"test-python: {tests} tests run, {skipped} skipped")
CHECK
}

mkdir -p "$work"
echo "==> wheel, fresh venv, tests"
install_wheel release
run_tests release

echo "==> the same tests with the extension under AddressSanitizer and UBSan"
VESSANE_SANITIZE=1 install_wheel asan
# The interpreter is not instrumented: the runtime is preloaded. Python keeps memory
# to the end on purpose, so leaks are not looked for.
LD_PRELOAD="$(gcc -print-file-name=libasan.so) $(gcc -print-file-name=libubsan.so)" \
  ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_tests asan
echo "==> Python package: all tests passed"
