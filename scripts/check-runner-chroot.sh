#!/usr/bin/env bash
# Installs the runner package zarnoft-sync_<version>_<arch>.deb in a fresh minimal Debian 12
# (scripts/make-chroot.sh) with apt, as an administrator would, and checks that apt brought no
# Qt package with it, that the runner answers there and that it runs a first job: a collection
# made with --anlegen, run twice. Needs root, debootstrap and the network; slow (minutes).
#   sudo scripts/check-runner-chroot.sh [PACKAGE.deb]     (default: build-deb/zarnoft-sync_*.deb)
#   KEEP=1 keeps the chroot for a look inside; CHROOT=DIR uses a fresh chroot that
#   scripts/make-chroot.sh made before (and that nothing else has touched) instead of making one.
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
deb=${1:-$(ls "$src"/build-deb/zarnoft-sync_*.deb 2>/dev/null | head -n 1)}
[ -f "$deb" ] || {
  echo "Kein Paket zarnoft-sync_*.deb (erst scripts/build-deb.sh)." >&2
  exit 1
}
deb=$(cd "$(dirname "$deb")" && pwd)/$(basename "$deb")
if [ -n "${CHROOT:-}" ]; then
  root=$CHROOT
  [ -x "$root/usr/bin/apt-get" ] || { echo "$root ist kein Chroot von make-chroot.sh." >&2; exit 1; }
else
  root=$(mktemp -d /var/tmp/zarnoft-chroot.XXXXXX)
fi
aufraeumen() {
  umount "$root/proc" 2>/dev/null || true
  if [ "${KEEP:-0}" = 1 ]; then echo "Chroot bleibt: $root"; else rm -rf "$root"; fi
}
trap aufraeumen EXIT
[ -n "${CHROOT:-}" ] || bash "$src/scripts/make-chroot.sh" "$root"
mount -t proc proc "$root/proc"
im() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 "$@"; }

im dpkg-query -W -f='${Package}\n' | sort >"$root/tmp/vorher"
cp "$deb" "$root/tmp/"
echo "apt install ./$(basename "$deb") ..."
im apt-get -q update >/dev/null
im env DEBIAN_FRONTEND=noninteractive apt-get -q install -y "/tmp/$(basename "$deb")" \
  >"$root/tmp/apt.log" 2>&1 || { cat "$root/tmp/apt.log" >&2; exit 1; }
im dpkg-query -W -f='${Package}\n' | sort >"$root/tmp/nachher"
neu=$(comm -13 "$root/tmp/vorher" "$root/tmp/nachher")
echo "Neu installiert ($(echo "$neu" | wc -l) Pakete): $(echo $neu)"
grep -o '[0-9.]* [kMG]B of additional disk space' "$root/tmp/apt.log" || true

fehler=0
if echo "$neu" | grep -i 'qt'; then
  echo "FEHLER: mit zarnoft-sync kamen Qt-Pakete." >&2
  fehler=1
fi
im zarnoft-sync --version | head -n 1
im mkdir -p /root/quelle/unter /root/ziel
echo Inhalt >"$root/root/quelle/unter/datei.txt"
if im zarnoft-sync --anlegen /root/Arbeit.syc /root/quelle /root/ziel --art 2 \
    --unterverzeichnisse 1 && im zarnoft-sync /root/Arbeit.syc && im zarnoft-sync /root/Arbeit.syc &&
    cmp -s "$root/root/quelle/unter/datei.txt" "$root/root/ziel/unter/datei.txt"; then
  echo "Ein erster Auftrag lief im Chroot."
else
  echo "FEHLER: der erste Auftrag lief im Chroot nicht." >&2
  fehler=1
fi
[ "$fehler" -eq 0 ] && echo "Chroot-Prüfung bestanden."
exit "$fehler"
