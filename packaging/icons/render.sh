#!/bin/sh
# Renders the committed PNG sizes of the icon from tolbex.svg (Debian package librsvg2-bin).
set -eu
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" tolbex.svg -o "tolbex-$size.png"
done
