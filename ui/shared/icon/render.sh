#!/usr/bin/env bash
# Renders vessane.svg into the PNG sizes the desktops and Windows want, raw pixels for
# the Linux window, and the .ico.
# Needs rsvg-convert (librsvg2-bin) and ImageMagick; the renderings are committed, so
# building never runs this.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" vessane.svg -o "vessane-$size.png"
done
# Raw RGBA pixels of the sizes a Linux window shows: the window reads them without an
# image decoder, which would cost it a good part of its start-up.
for size in 16 24 32 48; do
  /usr/bin/convert "vessane-$size.png" -depth 8 "rgba:vessane-$size.rgba"
done
/usr/bin/convert vessane-16.png vessane-24.png vessane-32.png vessane-48.png vessane-256.png vessane.ico
