#!/usr/bin/env bash
# The web page: builds it (scripts/build-web.sh), compares the WebAssembly core under Node
# with the native one over the sweep's two million forms, and runs the browser tests in
# Debian's headless Chromium, which also take the screenshots docs/web-desktop.png and
# docs/web-phone.png.
set -euo pipefail
cd "$(dirname "$0")/.."
WEB_TESTS=ON scripts/build-web.sh
build=${WEB_BUILD_DIR:-build-web}

for tool in node npm; do
  command -v "$tool" >/dev/null || {
    echo "test-web: $tool is missing: install Node.js 20 with its npm (not Debian's npm package)" >&2
    exit 2
  }
done
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
SITE="$build/site" DOCS=docs node --test web/test/browser.test.mjs
