#!/usr/bin/env bash
# Builds the web page and takes its pictures: docs/web-desktop.png, docs/web-phone.png, and
# docs/web-record*.png (opened from a synthetic patient's record, and a failed launch).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build-web.sh >/dev/null
node scripts/screenshot-web.mjs build/web/site docs
echo "screenshot-web: docs/web-desktop.png docs/web-phone.png docs/web-record.png docs/web-record-phone.png docs/web-record-failed.png"
