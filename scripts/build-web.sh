#!/usr/bin/env bash
# Builds the web page into build-web/site/ (or $WEB_BUILD_DIR/site): the core compiled to
# WebAssembly with Debian's emscripten, and the static files around it. Serve that folder
# with any static file server. WEB_TESTS=ON also builds the sweep the tests run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh web
build=${WEB_BUILD_DIR:-build-web}
# emscripten's JavaScript optimizer finds Debian's acorn only here.
export NODE_PATH=/usr/share/nodejs
emcmake cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=MinSizeRel -DBUILD_TESTING="${WEB_TESTS:-OFF}" >/dev/null
cmake --build "$build" -j"${JOBS:-2}"
echo "==> page built in $build/site"
