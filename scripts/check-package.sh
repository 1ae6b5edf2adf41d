#!/usr/bin/env bash
# Builds the two Debian packages as a distribution would (scripts/build-deb.sh) and checks
# them: lintian with no error and no warning (no hardening tag either), the files of each
# package and nothing outside /usr, that zarnoft-sync needs no toolkit and zarnoft depends on
# it, the versions, that `zarnoft-sync --help` and its man pages (English and German) name the
# same options and exit statuses, `man --warnings` on every page, the desktop entry
# (desktop-file-validate), the file type, the software-centre entry (appstreamcli validate),
# the systemd user units (systemd-analyze), the bash completion, and last that
# `cmake --install` under another prefix installs the same files.
#   scripts/check-package.sh [BUILD_DIR]     (default: build-deb)
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$src/build-deb}
bash "$src/scripts/build-deb.sh" "$build" >/dev/null
build=$(cd "$build" && pwd)
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
# grep that reads its input to the end: with pipefail, "grep -q" ending early would make the
# command before it die of SIGPIPE and the pipeline fail.
enthaelt() { grep "$@" >/dev/null; }

# --- the packages -------------------------------------------------------------------------
version=$(sed -n 's/^project(Zarnoft VERSION \([0-9.]*\).*/\1/p' "$src/CMakeLists.txt")
arch=$(dpkg --print-architecture)
sync_deb="$build/zarnoft-sync_${version}_${arch}.deb"
editor_deb="$build/zarnoft_${version}_${arch}.deb"
for deb in "$sync_deb" "$editor_deb"; do
  [ -f "$deb" ] || { echo "FEHLER: $deb fehlt." >&2; exit 1; }
  echo "Paket: $deb"
  dpkg-deb -f "$deb" Package Version Depends | sed 's/^/  /'
done
if [ "$(dpkg-parsechangelog -l "$src/packaging/changelog" -SVersion)" = "$version" ]; then ok; else
  fehler "der neueste Eintrag in packaging/changelog nennt nicht $version"
fi

root="$work/root"
dpkg -x "$sync_deb" "$root"
dpkg -x "$editor_deb" "$work/editor"
dpkg -x "$editor_deb" "$root"
sync_dateien=(
  usr/bin/zarnoft-sync
  usr/share/man/man1/zarnoft-sync.1.gz usr/share/man/de/man1/zarnoft-sync.1.gz
  usr/share/man/man5/zarnoft.syc.5.gz
  usr/lib/systemd/user/zarnoft-start.service usr/lib/systemd/user/zarnoft-ende.service
  usr/share/bash-completion/completions/zarnoft-sync
  usr/share/doc/zarnoft-sync/copyright usr/share/doc/zarnoft-sync/changelog.gz
  usr/share/doc/zarnoft-sync/automatisch.txt usr/share/doc/zarnoft-sync/README.md
)
editor_dateien=(
  usr/bin/zarnoft
  usr/share/man/man1/zarnoft.1.gz usr/share/man/de/man1/zarnoft.1.gz
  usr/share/applications/zarnoft.desktop
  usr/share/mime/packages/zarnoft.xml
  usr/share/metainfo/org.zarnoft.Zarnoft.metainfo.xml
  usr/share/icons/hicolor/scalable/apps/zarnoft.svg
  usr/share/doc/zarnoft/copyright usr/share/doc/zarnoft/changelog.gz
)
for size in 16 22 24 32 48 64 128 256; do
  editor_dateien+=("usr/share/icons/hicolor/${size}x${size}/apps/zarnoft.png")
done
inhalt() { dpkg-deb -c "$1" | awk '{ print $6 }' | sed 's|^\./||' | grep -v '/$'; }
for f in "${sync_dateien[@]}"; do
  if inhalt "$sync_deb" | enthaelt -xF "$f"; then ok; else fehler "in zarnoft-sync fehlt /$f"; fi
done
for f in "${editor_dateien[@]}"; do
  if inhalt "$editor_deb" | enthaelt -xF "$f"; then ok; else fehler "in zarnoft fehlt /$f"; fi
done
for f in usr/bin/zarnoft usr/bin/zarnoft-sync; do
  if [ -x "$root/$f" ]; then ok; else fehler "/$f ist nicht ausführbar"; fi
done
for deb in "$sync_deb" "$editor_deb"; do
  ausserhalb=$(dpkg-deb -c "$deb" | awk '{ print $6 }' | grep -v -e '^\./usr/' -e '^\./$' || true)
  if [ -z "$ausserhalb" ]; then ok; else fehler "Dateien außerhalb von /usr: $ausserhalb"; fi
done

# --- what each package depends on ---------------------------------------------------------
sync_depends=$(dpkg-deb -f "$sync_deb" Depends)
if echo "$sync_depends" | enthaelt 'libstdc++6'; then ok; else
  fehler "zarnoft-sync: die Abhängigkeiten von dpkg-shlibdeps fehlen ($sync_depends)"
fi
if echo "$sync_depends" | enthaelt 'libsystemd0'; then ok; else
  fehler "zarnoft-sync hängt nicht von libsystemd0 ab (Benachrichtigungen): $sync_depends"
fi
if echo "$sync_depends" | enthaelt -i 'qt'; then fehler "zarnoft-sync hängt von Qt ab: $sync_depends"; else ok; fi
if objdump -p "$root/usr/bin/zarnoft-sync" | grep NEEDED | enthaelt -i qt; then
  fehler "zarnoft-sync ist gegen Qt gelinkt"
else ok; fi
editor_depends=$(dpkg-deb -f "$editor_deb" Depends)
for abh in "zarnoft-sync (= $version)" libqt6widgets6 qt6-qpa-plugins; do
  if echo "$editor_depends" | enthaelt -F "$abh"; then ok; else fehler "zarnoft hängt nicht von $abh ab"; fi
done

# --- the programs as built: hardened, stripped, without the compiler's notes --------------
for f in usr/bin/zarnoft usr/bin/zarnoft-sync; do
  if readelf -d "$root/$f" | enthaelt 'FLAGS.*\bNOW\b' && readelf -l "$root/$f" | enthaelt GNU_RELRO; then
    ok
  else fehler "/$f ist nicht mit relro und now gelinkt"; fi
  if readelf -h "$root/$f" | enthaelt 'DYN (Position-Independent'; then ok; else fehler "/$f ist nicht PIE"; fi
  if readelf -S "$root/$f" | enthaelt -e '\.comment' -e '\.debug_'; then
    fehler "/$f enthält .comment oder Debuginformationen"
  else ok; fi
done
if readelf -s --wide "$root/usr/bin/zarnoft-sync" "$root/usr/bin/zarnoft" 2>/dev/null | enthaelt '__[a-z]*_chk'; then
  ok
else fehler "die Programme rufen keine geprüften Funktionen (_FORTIFY_SOURCE)"; fi

# --- lintian ------------------------------------------------------------------------------
if hat lintian; then
  # -I shows the notes too; a hardening note is a finding here, a note on German words not.
  lintian -I --fail-on error,warning "$sync_deb" "$editor_deb" >"$work/lintian" 2>&1 ||
    { cat "$work/lintian" >&2; fehler "lintian meldet Fehler oder Warnungen"; }
  if grep -q 'hardening-no-' "$work/lintian"; then
    grep 'hardening-no-' "$work/lintian" >&2
    fehler "lintian vermisst Härtung"
  else ok; fi
  sed 's/^/  /' "$work/lintian"
else
  fehler "lintian ist nicht installiert (scripts/install-deps.sh)"
fi

# --- the programs: version, help and man pages --------------------------------------------
sync="$root/usr/bin/zarnoft-sync"
if "$sync" --version | head -n 1 | enthaelt "^zarnoft-sync $version "; then ok; else
  fehler "zarnoft-sync --version nennt nicht $version"
fi
if QT_QPA_PLATFORM=offscreen "$root/usr/bin/zarnoft" --version | head -n 1 |
    grep -q "^zarnoft $version "; then ok; else
  fehler "zarnoft --version nennt nicht $version"
fi
"$sync" --help >"$work/hilfe"
optionen=$(grep -oE '^  (-[a-zA-Z], )?--?[a-z-]+' "$work/hilfe" | grep -oE -- '--?[a-z-]+')
[ -n "$optionen" ] || fehler "zarnoft-sync --help nennt keine Option"
# page;heading of the options;heading of the exit statuses
for seite in "man1/zarnoft-sync.1.gz;OPTIONS;EXIT STATUS" "de/man1/zarnoft-sync.1.gz;OPTIONEN;RÜCKGABEWERT"; do
  IFS=';' read -r datei optionen_titel status_titel <<<"$seite"
  zcat "$root/usr/share/man/$datei" | sed 's/\\-/-/g' >"$work/seite"
  sed -n "/^\.SH $optionen_titel/,/^\.SH /p" "$work/seite" >"$work/seite-optionen"
  for o in $optionen; do
    if grep -q -e "^\.B.*$o\b" "$work/seite-optionen"; then ok; else
      fehler "die Option $o aus zarnoft-sync --help fehlt in $datei"
    fi
  done
  for o in $(grep -oE -- '--[a-z][a-z-]*' "$work/seite-optionen" | sort -u); do
    if grep -q -e " $o\b" "$work/hilfe"; then ok; else
      fehler "die Option $o aus $datei fehlt in zarnoft-sync --help"
    fi
  done
  sed -n "/^\.SH \"\?$status_titel/,/^\.SH /p" "$work/seite" >"$work/seite-status"
  for status in 0 1 2 130; do
    if grep -q "^\.B $status\$" "$work/seite-status" && grep -q "\b$status\b" "$work/hilfe"; then
      ok
    else fehler "der Rückgabewert $status fehlt in --help oder in $datei"; fi
  done
done
seiten=$(cd "$root" && find usr/share/man -name '*.gz' | sort)
for seite in $seiten; do
  # As lintian reads them: every warning of groff is a finding.
  if LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z \
      "$root/$seite" 2>"$work/man-warnungen" >/dev/null && [ ! -s "$work/man-warnungen" ]; then
    ok
  else
    cat "$work/man-warnungen" >&2
    fehler "man --warnings: /$seite"
  fi
  case $seite in
    usr/share/man/de/*)
      if zcat "$root/$seite" | enthaelt '^\. *hla de$'; then ok; else
        fehler "/$seite wird nicht deutsch getrennt"
      fi
      ;;
  esac
done
[ "$(echo "$seiten" | wc -l)" -eq 5 ] && ok || fehler "statt fünf Handbuchseiten: $seiten"

# --- desktop entry, file type, software centre --------------------------------------------
desktop="$root/usr/share/applications/zarnoft.desktop"
pruefen "desktop-file-validate" desktop-file-validate "$desktop"
for zeile in 'Exec=zarnoft %f' 'Icon=zarnoft' 'MimeType=application/x-zarnoft-sammlung;' \
    'GenericName=Directory Synchronisation' 'GenericName[de]=Verzeichnisabgleich'; do
  if grep -qxF "$zeile" "$desktop"; then ok; else fehler "zarnoft.desktop: $zeile fehlt"; fi
done
if grep -q '^Comment=Keep ' "$desktop" && grep -q '^Comment\[de\]=' "$desktop"; then ok; else
  fehler "zarnoft.desktop: englischer Comment mit deutscher Übersetzung fehlt"
fi
mime="$root/usr/share/mime/packages/zarnoft.xml"
pruefen "xmllint zarnoft.xml" xmllint --noout "$mime"
if grep -q '<comment>Zarnoft job collection</comment>' "$mime" &&
    grep -q '<comment xml:lang="de">' "$mime"; then ok; else
  fehler "zarnoft.xml: englischer Kommentar mit deutscher Übersetzung fehlt"
fi
mkdir -p "$work/mime/packages"
cp "$mime" "$work/mime/packages/"
pruefen "update-mime-database" update-mime-database "$work/mime"
if grep -qx 'application/x-zarnoft-sammlung:\*\.syc' "$work/mime/globs"; then ok; else
  fehler "*.syc ist nach update-mime-database nicht application/x-zarnoft-sammlung"
fi
metainfo="$root/usr/share/metainfo/org.zarnoft.Zarnoft.metainfo.xml"
pruefen "appstreamcli validate" appstreamcli validate --no-net "$metainfo"
if grep -q "<release version=\"$version\"" "$metainfo"; then ok; else
  fehler "org.zarnoft.Zarnoft.metainfo.xml nennt die Version $version nicht"
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

# --- bash completion ----------------------------------------------------------------------
if [ -f /usr/share/bash-completion/bash_completion ]; then
  mkdir -p "$work/komplett/Ordner"
  printf '[Allgemein]\r\nVersion=2\r\nAnzahl=3\r\n' >"$work/komplett/Arbeit.syc"
  touch "$work/komplett/notiz.txt"
  # komplett WORDS...: what the completion offers for the last word, sorted, on one line.
  cat >"$work/komplett.sh" <<'KOMPLETT'
source /usr/share/bash-completion/bash_completion
source "$1"
shift
COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
COMPREPLY=()
_zarnoft_sync
printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' '
KOMPLETT
  komplett() { (cd "$work/komplett" && bash "$work/komplett.sh" \
    "$root/usr/share/bash-completion/completions/zarnoft-sync" zarnoft-sync "$@"); }
  # words;expected
  for fall in "--leer;--leer-erlaubt " "Arbeit.syc --job ;1 2 3 " "--job 2 ;Arbeit.syc Ordner " \
      "--ausloeser ;ende start " "-- ;Arbeit.syc Ordner " "--anlegen --art 2 Arbeit.syc ;Ordner " \
      "--art 2 --doppelt ;0 1 2 " "--anlegen --ausnahme .c;'.cache/' "; do
    worte=${fall%%;*}
    erwartet=${fall#*;}
    read -r -a liste <<<"$worte"
    [[ $worte == *" " ]] && liste+=("")
    bekommen=$(komplett "${liste[@]}")
    if [ "$bekommen" = "$erwartet" ]; then ok; else
      fehler "Vervollständigung von '$worte': '$bekommen' statt '$erwartet'"
    fi
  done
  for o in $optionen; do
    if grep -q -e "$o\b" "$root/usr/share/bash-completion/completions/zarnoft-sync"; then ok; else
      fehler "die Vervollständigung kennt $o nicht"
    fi
  done
fi

# --- cmake --install under another prefix installs the same files -------------------------
prefix="$work/prefix"
pruefen "cmake --install --prefix" cmake --install "$build" --prefix "$prefix"
(cd "$root/usr" && find . -type f | sort) >"$work/paket.txt"
(cd "$prefix" && find . -type f | sort) >"$work/prefix.txt"
if diff "$work/paket.txt" "$work/prefix.txt" >&2; then ok; else
  fehler "cmake --install legt andere Dateien an als die Pakete"
fi
if grep -q "^ExecStop=$prefix/bin/zarnoft-sync " "$prefix/lib/systemd/user/zarnoft-ende.service"; then
  ok
else
  fehler "die Einheiten nennen nach cmake --install nicht $prefix/bin/zarnoft-sync"
fi

echo "Paketprüfung: $bestanden passed, $fehler failed"
[ "$fehler" -eq 0 ]
