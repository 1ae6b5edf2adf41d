#!/usr/bin/env bash
# Renders the PNG sizes of the application icon from its two drawings (zarnoft-16.svg for
# 16 pixels, zarnoft.svg for the rest) into hicolor/NxN/apps/zarnoft.png. The PNGs are kept in
# the repository, so a build needs no SVG renderer; run this after changing a drawing.
# Needs rsvg-convert (Debian package librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
  drawing=zarnoft.svg
  [ "$size" -eq 16 ] && drawing=zarnoft-16.svg
  mkdir -p "hicolor/${size}x${size}/apps"
  rsvg-convert -w "$size" -h "$size" "$drawing" -o "hicolor/${size}x${size}/apps/zarnoft.png"
done
