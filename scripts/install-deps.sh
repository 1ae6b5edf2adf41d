#!/usr/bin/env bash
# Installs the Debian packages that building, testing and packaging need, without recommended
# extras; does nothing when all are there. Needs only bash and apt-get: it works on a minimal
# Debian 12 without make, git, sudo or a compiler, run as root or by a user with sudo.
# One line per step; when apt fails, its own message is shown. Waits for the package system
# when another apt or dpkg is running, so several people may run it at once.
set -euo pipefail
packages=(
  cmake g++ make ninja-build pkg-config            # building
  qt6-base-dev qt6-qpa-plugins qt6-translations-l10n libgtest-dev libgmock-dev
  libsystemd-dev                                   # the runner's desktop notifications
  xvfb openbox xfwm4 x11-utils                     # make screenshots
  dpkg-dev file desktop-file-utils libxml2-utils shared-mime-info  # the package check
  lintian appstream man-db bash-completion binutils
  clang libclang-rt-dev                            # the fuzz targets (libFuzzer)
)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

als_root=()
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null 2>&1; then
    echo "Es fehlen Pakete (${missing[*]}), und zum Installieren braucht es Root-Rechte:" >&2
    echo "bitte als root starten (sudo ist nicht installiert)." >&2
    exit 1
  fi
  als_root=(sudo)
fi
log=$(mktemp)
trap 'rm -f "$log"' EXIT

# apt-get with the dpkg lock waited for (DPkg::Lock::Timeout); the lists' lock of a parallel
# "apt-get update" is waited for by trying again.
apt() {
  local versuch
  for versuch in $(seq 120); do
    if "${als_root[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get -q -o DPkg::Lock::Timeout=600 -o Dpkg::Use-Pty=0 "$@" >"$log" 2>&1; then
      return 0
    fi
    grep -q 'Could not get lock\|Sperre konnte nicht' "$log" || return 1
    [ "$versuch" -eq 1 ] && echo "  Warte auf die Paketverwaltung (ein anderes apt läuft) ..."
    sleep 5
  done
  return 1
}
schritt() {  # schritt TEXT APT-ARGS...
  local text=$1
  shift
  echo "$text"
  if ! apt "$@"; then
    cat "$log" >&2
    echo "Fehlgeschlagen: $text" >&2
    exit 1
  fi
}
schritt "Paketlisten werden geladen ..." update
schritt "Fehlende Pakete werden installiert: ${missing[*]} ..." \
  install -y --no-install-recommends "${missing[@]}"
echo "Pakete installiert."
