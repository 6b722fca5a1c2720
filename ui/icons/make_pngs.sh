#!/usr/bin/env bash
# Makes the icon's PNG sizes from orvane.svg (Debian package librsvg2-bin). Run it again,
# and commit the PNGs, whenever the SVG changes.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
for size in 16 24 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" "$here/orvane.svg" -o "$here/orvane-$size.png"
done
