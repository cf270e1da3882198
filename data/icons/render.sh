#!/usr/bin/env bash
# Renders the committed PNG icons from the SVG beside this script. Run it by
# hand after changing the SVG (rsvg-convert is in Debian's librsvg2-bin); the
# build only installs the committed files.
set -euo pipefail
cd "$(dirname "$0")"
readonly id=io.github.pelisto.Pelisto
for size in 48 256; do
  rsvg-convert -w "$size" -h "$size" "$id.svg" -o "$id-$size.png"
done
