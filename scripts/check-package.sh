#!/usr/bin/env bash
# Builds the Debian package from a build folder and checks what it holds: lists its files,
# unpacks it into a temporary root with dpkg -x, checks that every file of the installation is
# there and nothing lies outside /usr, that the versions agree, that `zarnoft-sync --help` and
# its man page name the same options and exit statuses, and validates the desktop entry, the
# file type and the systemd user units with the tools that are installed
# (desktop-file-validate, xmllint, update-mime-database, groff, systemd-analyze). Last it
# installs the build with `cmake --install` under another prefix and compares the file lists.
#   scripts/check-package.sh [BUILD_DIR]
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

bestanden=0
fehler=0
ok() { bestanden=$((bestanden + 1)); }
fehler() {
  echo "FEHLER: $*" >&2
  fehler=$((fehler + 1))
}
pruefen() {  # pruefen TEXT COMMAND...: one check, its text shown only when it fails
  local text=$1
  shift
  if "$@" >"$work/out" 2>&1; then ok; else
    cat "$work/out" >&2
    fehler "$text"
  fi
}
hat() { command -v "$1" >/dev/null 2>&1; }

# --- the package --------------------------------------------------------------------------
rm -f "$build"/zarnoft_*.deb
if ! (cd "$build" && cpack -G DEB) >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log" >&2
  echo "FEHLER: cpack konnte das Paket nicht bauen." >&2
  exit 1
fi
version=$(sed -n 's/^project(Zarnoft VERSION \([0-9.]*\).*/\1/p' "$src/CMakeLists.txt")
deb="$build/zarnoft_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { echo "FEHLER: $deb fehlt." >&2; exit 1; }
echo "Paket: $deb"
dpkg-deb -f "$deb" Package Version Depends
dpkg-deb -c "$deb" | awk '{ print "  " $6 }' | sed 's|^  \./|  /|' | grep -v '/$'

root="$work/root"
dpkg -x "$deb" "$root"
dateien=(
  usr/bin/zarnoft usr/bin/zarnoft-sync
  usr/share/applications/zarnoft.desktop
  usr/share/mime/packages/zarnoft.xml
  usr/share/icons/hicolor/scalable/apps/zarnoft.svg
  usr/share/man/man1/zarnoft.1.gz usr/share/man/man1/zarnoft-sync.1.gz
  usr/lib/systemd/user/zarnoft-start.service usr/lib/systemd/user/zarnoft-ende.service
  usr/share/doc/zarnoft/copyright usr/share/doc/zarnoft/automatisch.txt
)
for size in 16 22 24 32 48 64 128 256; do
  dateien+=("usr/share/icons/hicolor/${size}x${size}/apps/zarnoft.png")
done
for f in "${dateien[@]}"; do
  if [ -f "$root/$f" ]; then ok; else fehler "im Paket fehlt /$f"; fi
done
for f in usr/bin/zarnoft usr/bin/zarnoft-sync; do
  if [ -x "$root/$f" ]; then ok; else fehler "/$f ist nicht ausführbar"; fi
done
ausserhalb=$(dpkg-deb -c "$deb" | awk '{ print $6 }' | grep -v -e '^\./usr/' -e '^\./$' || true)
if [ -z "$ausserhalb" ]; then ok; else fehler "Dateien außerhalb von /usr: $ausserhalb"; fi
if dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6'; then ok; else
  fehler "die Abhängigkeiten von dpkg-shlibdeps fehlen"
fi

# --- the programs: version and help -------------------------------------------------------
sync="$root/usr/bin/zarnoft-sync"
if "$sync" --version | head -n 1 | grep -q "^zarnoft-sync $version "; then ok; else
  fehler "zarnoft-sync --version nennt nicht $version"
fi
if QT_QPA_PLATFORM=offscreen "$root/usr/bin/zarnoft" --version | head -n 1 |
    grep -q "^zarnoft $version "; then ok; else
  fehler "zarnoft --version nennt nicht $version"
fi
zcat "$root/usr/share/man/man1/zarnoft-sync.1.gz" | sed 's/\\-/-/g' >"$work/sync.1"
sed -n '/^\.SH OPTIONEN/,/^\.SH /p' "$work/sync.1" >"$work/sync-optionen"
"$sync" --help >"$work/hilfe"
optionen=$(grep -oE '^  (-[a-zA-Z], )?--?[a-z-]+' "$work/hilfe" | grep -oE -- '--?[a-z-]+')
[ -n "$optionen" ] || fehler "zarnoft-sync --help nennt keine Option"
for o in $optionen; do
  if grep -q -e "^\.B.*$o\b" "$work/sync-optionen"; then ok; else
    fehler "die Option $o aus zarnoft-sync --help fehlt in zarnoft-sync(1)"
  fi
done
manoptionen=$(grep -oE -- '--[a-z-]+' "$work/sync-optionen" | sort -u)
for o in $manoptionen; do
  if grep -q -e " $o\b" "$work/hilfe"; then ok; else
    fehler "die Option $o aus zarnoft-sync(1) fehlt in zarnoft-sync --help"
  fi
done
for status in 0 1 2 130; do
  if grep -q "^\.B $status\$" "$work/sync.1" && grep -q "\b$status\b" "$work/hilfe"; then ok; else
    fehler "der Rückgabewert $status fehlt in --help oder in zarnoft-sync(1)"
  fi
done
if hat groff; then
  for page in zarnoft zarnoft-sync; do
    pruefen "$page(1) lässt sich nicht ohne Warnung setzen" \
      bash -c "zcat '$root/usr/share/man/man1/$page.1.gz' | groff -k -man -ww -z 2>&1 | \
               (! grep .)"
  done
fi

# --- desktop entry, file type, icons ------------------------------------------------------
desktop="$root/usr/share/applications/zarnoft.desktop"
if hat desktop-file-validate; then pruefen "desktop-file-validate" desktop-file-validate "$desktop"; fi
for zeile in 'Exec=zarnoft %f' 'Icon=zarnoft' 'MimeType=application/x-zarnoft-sammlung;'; do
  if grep -qxF "$zeile" "$desktop"; then ok; else fehler "zarnoft.desktop: $zeile fehlt"; fi
done
mime="$root/usr/share/mime/packages/zarnoft.xml"
if hat xmllint; then pruefen "xmllint zarnoft.xml" xmllint --noout "$mime"; fi
if grep -q '<comment xml:lang="de">' "$mime"; then ok; else fehler "zarnoft.xml: deutscher Kommentar fehlt"; fi
if hat update-mime-database; then
  mkdir -p "$work/mime/packages"
  cp "$mime" "$work/mime/packages/"
  pruefen "update-mime-database" update-mime-database "$work/mime"
  if grep -qx 'application/x-zarnoft-sammlung:\*\.syc' "$work/mime/globs"; then ok; else
    fehler "*.syc ist nach update-mime-database nicht application/x-zarnoft-sammlung"
  fi
fi

# --- systemd user units -------------------------------------------------------------------
for unit in zarnoft-start zarnoft-ende; do
  f="$root/usr/lib/systemd/user/$unit.service"
  if grep -q "^Exec\(Start\|Stop\)=/usr/bin/zarnoft-sync --ausloeser " "$f"; then ok; else
    fehler "$unit.service ruft nicht /usr/bin/zarnoft-sync --ausloeser auf"
  fi
done
if hat systemd-analyze; then
  # The units name /usr/bin/zarnoft-sync; here they are pointed at the unpacked program.
  mkdir -p "$work/units" "$work/laufzeit"
  chmod 700 "$work/laufzeit"
  for f in "$root"/usr/lib/systemd/user/*.service; do
    sed "s|=/usr/bin/|=$root/usr/bin/|" "$f" >"$work/units/$(basename "$f")"
  done
  pruefen "systemd-analyze verify" env XDG_RUNTIME_DIR="$work/laufzeit" \
    MANPATH="$root/usr/share/man" systemd-analyze verify --user "$work"/units/*.service
fi

# --- cmake --install under another prefix installs the same files -------------------------
prefix="$work/prefix"
pruefen "cmake --install --prefix" cmake --install "$build" --prefix "$prefix"
(cd "$root/usr" && find . -type f | sort) >"$work/paket.txt"
(cd "$prefix" && find . -type f | sort) >"$work/prefix.txt"
if diff "$work/paket.txt" "$work/prefix.txt" >&2; then ok; else
  fehler "cmake --install legt andere Dateien an als das Paket"
fi
if grep -q "^ExecStop=$prefix/bin/zarnoft-sync " "$prefix/lib/systemd/user/zarnoft-ende.service"; then
  ok
else
  fehler "die Einheiten nennen nach cmake --install nicht $prefix/bin/zarnoft-sync"
fi

echo "Paketprüfung: $bestanden passed, $fehler failed"
[ "$fehler" -eq 0 ]
