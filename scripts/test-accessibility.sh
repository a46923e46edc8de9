#!/usr/bin/env bash
# The window under Xvfb, driven over a private accessibility (AT-SPI) bus as a screen
# reader or a voice-control tool drives it (tests/accessibility/).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh core qt accessibility
scripts/build-preset.sh dev vessane
# Debian's Python with its gi module, not another one first on the PATH. Ends, with every
# process it started, rather than hang.
timeout -k 10 600 tests/accessibility/private_session.sh \
  /usr/bin/python3 tests/accessibility/atspi_test.py build/dev/app/vessane
