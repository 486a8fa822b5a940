#!/usr/bin/env bash
# Redraws the committed PNG icons from paipan.svg (ImageMagick).
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
    convert -background none -density 300 paipan.svg -resize "${size}x${size}" "icons/paipan-${size}.png"
done
