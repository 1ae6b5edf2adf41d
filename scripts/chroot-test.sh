#!/usr/bin/env bash
# Runs the whole test suite (scripts/test.sh) inside a minimal Debian 12 chroot, where the
# process's root is not the file system's root: the place where checks that read paths instead
# of identities go wrong. Makes the chroot once (debootstrap, variant minbase) and reuses it;
# copies the working tree (without build directories) into it each time. Needs root and the
# network for the first run.
#   sudo bash scripts/chroot-test.sh [DIR] [test.sh steps...]   (DIR: /var/tmp/zarnoft-chroot)
set -euo pipefail
cd "$(dirname "$0")/.."
quelle=$(pwd)
wurzel=${1:-/var/tmp/zarnoft-chroot}
shift || true
spiegel=${DEBIAN_MIRROR:-http://deb.debian.org/debian}

if [ "$(id -u)" -ne 0 ]; then
  echo "Bitte als root starten: Einrichten und Betreten der chroot-Umgebung brauchen es." >&2
  exit 1
fi
if ! command -v debootstrap >/dev/null 2>&1; then
  DEBIAN_FRONTEND=noninteractive apt-get -q -o DPkg::Lock::Timeout=600 install -y \
    --no-install-recommends debootstrap
fi
if [ ! -x "$wurzel/usr/bin/apt-get" ]; then
  echo "Lege die chroot-Umgebung an: $wurzel"
  debootstrap --variant=minbase bookworm "$wurzel" "$spiegel"
fi

# What the tests need of a running system; detached again however the script ends.
eingehaengt=()
aushaengen() {
  local i
  for ((i = ${#eingehaengt[@]} - 1; i >= 0; i--)); do
    umount -l "${eingehaengt[$i]}" 2>/dev/null || true
  done
}
trap aushaengen EXIT
einhaengen() {  # einhaengen ZIEL mount-args...
  local ziel=$wurzel$1
  shift
  mkdir -p "$ziel"
  mount "$@" "$ziel"
  eingehaengt+=("$ziel")
}
einhaengen /proc -t proc proc
einhaengen /dev --bind /dev
einhaengen /dev/pts -t devpts devpts
cp -L /etc/resolv.conf "$wurzel/etc/resolv.conf" 2>/dev/null || true

rm -rf "$wurzel/zarnoft"
mkdir -p "$wurzel/zarnoft"
tar -C "$quelle" --exclude='./build*' --exclude='./.git' -cf - . | tar -C "$wurzel/zarnoft" -xf -

schritte=$(printf ' %q' "$@")
chroot "$wurzel" /usr/bin/env -i HOME=/root TERM="${TERM:-dumb}" LANG=C.UTF-8 \
  PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
  JOBS="${JOBS:-$(nproc)}" /bin/bash -c "cd /zarnoft && bash scripts/test.sh$schritte"
