#!/usr/bin/env bash
# Makes a fresh minimal Debian 12 (debootstrap --variant=minbase bookworm) in DIR, for checks
# that install or run Zarnoft on a system that has nothing else. Needs root and debootstrap.
# The downloaded packages are kept in CACHE (default /var/cache/zarnoft-chroot), so a second
# chroot is made without the network's wait.
#   sudo scripts/make-chroot.sh DIR           (MIRROR: the Debian mirror; CACHE: see above)
set -euo pipefail
dir=${1:?Aufruf: make-chroot.sh VERZEICHNIS}
mirror=${MIRROR:-http://deb.debian.org/debian}
cache=${CACHE:-/var/cache/zarnoft-chroot}
if [ "$(id -u)" -ne 0 ]; then
  echo "make-chroot.sh braucht Root-Rechte (debootstrap)." >&2
  exit 1
fi
command -v debootstrap >/dev/null || {
  echo "debootstrap fehlt (apt-get install debootstrap)." >&2
  exit 1
}
if [ -e "$dir" ] && [ -n "$(ls -A "$dir" 2>/dev/null)" ]; then
  echo "$dir ist nicht leer." >&2
  exit 1
fi
mkdir -p "$cache" "$dir"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
echo "Minimales Debian 12 wird in $dir angelegt ..."
if ! debootstrap --variant=minbase --cache-dir="$cache" bookworm "$dir" "$mirror" >"$log" 2>&1; then
  tail -n 20 "$log" >&2
  echo "debootstrap ist fehlgeschlagen." >&2
  exit 1
fi
echo "Angelegt: $dir"
