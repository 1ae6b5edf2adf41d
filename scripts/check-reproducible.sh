#!/usr/bin/env bash
# Builds the Debian packages twice, side by side, from the committed sources (git archive of a commit, default
# HEAD), each time from another copy of the sources into another build folder and without the
# compiler cache, and compares the packages byte for byte. Slow: two full package builds.
#   scripts/check-reproducible.sh [COMMIT]       (WORK: folder for the two builds, kept)
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
commit=${1:-HEAD}
work=${WORK:-$(mktemp -d /var/tmp/zarnoft-repro.XXXXXX)}
mkdir -p "$work"
export CCACHE_DISABLE=1
unset CMAKE_CXX_COMPILER_LAUNCHER
# The two builds run side by side; each waits for nothing of the other.
for lauf in eins zwei; do
  rm -rf "${work:?}/$lauf"
  mkdir -p "$work/$lauf/quelle-$lauf"
  git -C "$src" archive "$commit" | tar -x -C "$work/$lauf/quelle-$lauf"
  echo "Bau $lauf in $work/$lauf ..."
  bash "$work/$lauf/quelle-$lauf/scripts/build-deb.sh" "$work/$lauf/bau-$lauf" >"$work/$lauf.log" 2>&1 &
done
for lauf in eins zwei; do
  wait -n || { tail -n 30 "$work"/eins.log "$work"/zwei.log >&2; exit 1; }
done
fehler=0
for deb in "$work"/eins/bau-eins/*.deb; do
  name=$(basename "$deb")
  zwei="$work/zwei/bau-zwei/$name"
  if cmp -s "$deb" "$zwei"; then
    echo "gleich: $name $(sha256sum <"$deb" | cut -c1-16)"
  else
    echo "VERSCHIEDEN: $name" >&2
    fehler=1
    mkdir -p "$work/diff/eins" "$work/diff/zwei"
    dpkg-deb -R "$deb" "$work/diff/eins/$name"
    dpkg-deb -R "$zwei" "$work/diff/zwei/$name"
    diff -r "$work/diff/eins/$name" "$work/diff/zwei/$name" >&2 || true
  fi
done
[ "$fehler" -eq 0 ] && echo "Die Pakete sind in beiden Bauten gleich (Arbeitsordner $work)."
exit "$fehler"
