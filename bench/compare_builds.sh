#!/usr/bin/env bash
# zarnoft-sync of this tree side by side with zarnoft-sync of an earlier commit, on the re-run
# without changes of a two-way job over BIG files: the run that pays for every name it looks at,
# so that what a change adds to each name shows. Each build runs on a tree pair of its own (made
# alike, in step after a first copy and one re-run), in alternating pairs; nothing is asserted.
# Printed: the medians of wall and CPU time (user + system) and their ratios, with the spread of
# the ratios pair by pair.
#
#   bench/compare_builds.sh COMMIT   (environment: ROUNDS=7 BIG=100000, BUILD=build-bench,
#                                     WORK=$TMPDIR/zarnoft-builds; /dev/shm keeps it off the disk)
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
VORHER=${1:?Aufruf: bench/compare_builds.sh COMMIT}
BUILD=${BUILD:-$ROOT/build-bench}
WORK=${WORK:-${TMPDIR:-/tmp}/zarnoft-builds}
ROUNDS=${ROUNDS:-7}
BIG=${BIG:-100000}
# gen, sammlung, zeit, median, bericht
source "$ROOT/bench/bench_lib.sh"

rm -rf "$WORK"
mkdir -p "$WORK"
aufraeumen() {
  git -C "$ROOT" worktree remove --force "$WORK/quelle" >/dev/null 2>&1 || true
  rm -rf "$WORK"
}
trap aufraeumen EXIT

# With ccache (and CCACHE_BASEDIR above both trees) the earlier commit's unchanged files come from
# the cache.
LAUNCHER=()
if command -v ccache >/dev/null 2>&1; then LAUNCHER=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
bauen() {  # bauen SOURCE BUILD_DIR: the runner alone, with the flags of compare_rsync.sh
  cmake -S "$1" -B "$2" -G Ninja -DZARNOFT_UI=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    "${LAUNCHER[@]}" >/dev/null
  cmake --build "$2" --target zarnoft-sync >/dev/null
}
git -C "$ROOT" worktree add --detach "$WORK/quelle" "$VORHER" >/dev/null 2>&1
bauen "$ROOT" "$BUILD"
bauen "$WORK/quelle" "$WORK/quelle/build"

# A portable copy of each runner with settings of its own (log off, plain deletion), so that
# each keeps its records beside it.
for seite in neu alt; do
  mkdir -p "$WORK/$seite"
  printf '[Allgemein]\nLLev=0\n[Data]\nLoeschen=1\n' >"$WORK/$seite/Main.sda"
done
cp "$BUILD/bin/zarnoft-sync" "$WORK/neu/"
cp "$WORK/quelle/build/bin/zarnoft-sync" "$WORK/alt/"
for seite in neu alt; do
  gen "$WORK/${seite}_h" "$BIG" 100 4000
  mkdir "$WORK/${seite}_z"
  sammlung "$WORK/$seite.syc" "$WORK/${seite}_h" "$WORK/${seite}_z" 1 5
  # The first copy, then the re-run that writes the record of a pair in step.
  for _ in 1 2; do
    zeit "$WORK/$seite/zarnoft-sync" -q "$WORK/$seite.syc" >/dev/null
  done
done

echo "Runden: $ROUNDS, Rechner: $(nproc) Kerne, Last $(cut -d' ' -f1-3 /proc/loadavg)"
echo "== Lauf ohne Änderung über $BIG Dateien: dieser Stand / $(git -C "$ROOT" rev-parse --short "$VORHER")"
ZEIT_FORMAT='%e %U %S'
nw=() nc=() aw=() ac=()
messen() {  # messen SEITE: appends wall and CPU seconds of one re-run
  local m
  m=$(zeit "$WORK/$1/zarnoft-sync" -q "$WORK/$1.syc")
  read -r wand user sys <<<"$m"
  if [[ $1 == neu ]]; then
    nw+=("$wand")
    nc+=("$(awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }')")
  else
    aw+=("$wand")
    ac+=("$(awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }')")
  fi
}
for i in $(seq "$ROUNDS"); do
  if ((i % 2)); then
    messen neu
    messen alt
  else
    messen alt
    messen neu
  fi
done
bericht "Wandzeit neu / alt" "" "${nw[@]}" -- "${aw[@]}"
bericht "CPU-Zeit neu / alt" "" "${nc[@]}" -- "${ac[@]}"
