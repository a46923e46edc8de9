#!/usr/bin/env bash
# The web page: builds it (scripts/build-web.sh), compares the WebAssembly core under Node
# with the native one over the sweep's two million forms, and runs the browser tests in
# Debian's headless Chromium, the page opened from a patient's record included. Node.js 18
# (Debian's) and 20 both do.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build-web.sh
build=build/web
echo "==> Node.js $(node --version), npm $(npm --version)"

echo "==> the same texts from the WebAssembly core as from the native one"
sweep=$build/sweep
"$sweep/record_sweep_native" "$sweep/native.bin"
node --no-experimental-fetch "$sweep/vessane_record_sweep.js" "$sweep/wasm.bin"
node web/test/compare_sweeps.mjs "$sweep/native.bin" "$sweep/wasm.bin"
rm -f "$sweep/native.bin" "$sweep/wasm.bin"

echo "==> the page in Chromium"
SITE="$build/site" node --test web/test/browser.test.mjs

echo "==> opened from a patient's record (SMART on FHIR), against vessane-cli"
scripts/build-preset.sh dev vessane-cli >/dev/null
SITE="$build/site" VESSANE_CLI=build/dev/cli/vessane-cli \
  node --test web/test/record_reader.test.mjs web/test/host_headers.test.mjs web/test/smart.test.mjs

echo "==> the same, on other days: no test depends on today's date"
for day in "2027-06-01 10:00:00" "2030-02-28 10:00:00"; do
  SITE="$build/site" VESSANE_CLI=build/dev/cli/vessane-cli \
    faketime "$day" node --test web/test/record_reader.test.mjs web/test/smart.test.mjs
done
