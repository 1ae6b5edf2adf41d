#!/usr/bin/env bash
# Renders the editor's windows into PNG files under a virtual display (Xvfb), once under each of
# two window managers - openbox, and xfwm4, which honours the Motif hints (no close button, no
# resizing) - and at 100 %, 150 % and 200 % scaling:
#   build/screenshots/<window manager>/<name>.png, <name>-150.png, <name>-200.png
#   scripts/screenshots.sh [BUILD_DIR]
set -euo pipefail
build=${1:-build}
prog="$build/ui/zarnoft_screenshots"
[ -x "$prog" ] || { echo "Fehlt: $prog (erst bauen)" >&2; exit 1; }

# A free display number.
freie_anzeige() {
  local n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  echo ":$n"
}

aufnehmen() {  # aufnehmen WINDOW_MANAGER
  local wm_name=$1 display xvfb wm out
  command -v "$wm_name" >/dev/null 2>&1 || { echo "Fehlt: $wm_name (scripts/install-deps.sh)" >&2; return 1; }
  out="$build/screenshots/$wm_name"
  mkdir -p "$out"
  display=$(freie_anzeige)
  Xvfb "$display" -screen 0 1600x1200x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 50); do
    DISPLAY=$display xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
  done
  case $wm_name in
    # Without a session xfwm4 keeps its built-in settings; no compositor under Xvfb.
    xfwm4) DISPLAY=$display xfwm4 --compositor=off >/dev/null 2>&1 & ;;
    *) DISPLAY=$display "$wm_name" >/dev/null 2>&1 & ;;
  esac
  wm=$!
  sleep 1
  local rc=0
  for faktor in 1 1.5 2; do
    local anhang=""
    case $faktor in 1.5) anhang="-150" ;; 2) anhang="-200" ;; esac
    DISPLAY=$display QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=$faktor "$prog" "$out" "$anhang" || rc=1
  done
  kill "$wm" "$xvfb" 2>/dev/null || true
  wait "$wm" "$xvfb" 2>/dev/null || true
  return $rc
}

rc=0
for wm_name in openbox xfwm4; do
  aufnehmen "$wm_name" || rc=1
done
exit $rc
