#!/usr/bin/env bash
# Builds the web page and takes its pictures: docs/web-desktop.png and docs/web-phone.png.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build-web.sh >/dev/null
node scripts/screenshot-web.mjs build/web/site docs
echo "screenshot-web: docs/web-desktop.png docs/web-phone.png"
