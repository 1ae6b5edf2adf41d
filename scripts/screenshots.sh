#!/usr/bin/env bash
# Renders the editor's windows into PNG files under a virtual display (Xvfb) with a window
# manager (openbox), at 100 % and at 150 % scaling: build/screenshots/*.png and *-150.png.
#   scripts/screenshots.sh [BUILD_DIR]
set -euo pipefail
build=${1:-build}
out="$build/screenshots"
mkdir -p "$out"
prog="$build/ui/zarnoft_screenshots"
[ -x "$prog" ] || { echo "Fehlt: $prog (erst bauen)" >&2; exit 1; }

# A free display number.
n=90
while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
display=":$n"
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
wm=""
trap 'kill $wm $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 50); do
  DISPLAY=$display xdpyinfo >/dev/null 2>&1 && break
  sleep 0.1
done
DISPLAY=$display openbox >/dev/null 2>&1 &
wm=$!
sleep 0.5

export DISPLAY=$display QT_QPA_PLATFORM=xcb
QT_SCALE_FACTOR=1 "$prog" "$out"
QT_SCALE_FACTOR=1.5 "$prog" "$out" -150
