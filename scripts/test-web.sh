#!/usr/bin/env bash
# The web page: builds it (scripts/build-web.sh), compares the WebAssembly core under Node
# with the native one over the sweep's two million forms, and runs the browser tests in
# Debian's headless Chromium. Node.js 18 (Debian's) and 20 both do.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build-web.sh
build=build/web
echo "==> Node.js $(node --version), npm $(npm --version)"
# Pinned by web/package-lock.json; the tests drive the system's Chromium, so no browser
# is downloaded.
(cd web && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error)

echo "==> the same texts from the WebAssembly core as from the native one"
sweep=$build/sweep
"$sweep/record_sweep_native" "$sweep/native.bin"
node --no-experimental-fetch "$sweep/vessane_record_sweep.js" "$sweep/wasm.bin"
node web/test/compare_sweeps.mjs "$sweep/native.bin" "$sweep/wasm.bin"
rm -f "$sweep/native.bin" "$sweep/wasm.bin"

echo "==> the page in Chromium"
SITE="$build/site" node --test web/test/browser.test.mjs
