#!/usr/bin/env bash
# Builds the web page into build/web/site/ (the "web" preset): the core compiled to
# WebAssembly with Debian's emscripten, and the static files around it. Serve that folder
# with any static file server.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh web node
# The bundled SMART library (and the tests' packages), as package-lock.json pins them; no
# browser is downloaded. Installed again only when what pins them changes.
pins=$(cd web && cat package.json package-lock.json .npmrc | sha256sum)
if [ "$(cat web/node_modules/.vessane-pins 2>/dev/null)" != "$pins" ]; then
  (cd web && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error)
  echo "$pins" >web/node_modules/.vessane-pins
fi
scripts/build-preset.sh web
echo "==> page built in build/web/site"
