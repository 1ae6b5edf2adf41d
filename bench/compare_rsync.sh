#!/usr/bin/env bash
# zarnoft-sync side by side with rsync -a and cp -a on generated trees, on the same file system,
# in alternating pairs. Nothing is asserted: each figure is printed as the median of ROUNDS runs,
# each ratio as the ratio of the medians with the spread (lowest..highest) of the per-pair ratios.
#
#   bench/compare_rsync.sh     (environment: ROUNDS=5 SMALL=20000 BIG=100000 BIGFILE_MB=1024,
#                               BUILD=build-bench, WORK=$TMPDIR/zarnoft-bench)
#
# 1. first copy of SMALL files of 1-8 KiB into a fresh target      zarnoft-sync / rsync -a + sync -f
# 2. re-run without changes over BIG files in BIG/100 directories  zarnoft-sync / rsync -a + sync -f,
#    both against find listing both trees with sizes and dates (the bound of any such tool);
#    peak memory of the first run and of the re-run; the re-run with 20 exclusion patterns that
#    match nothing against the same re-run without them
# 3. the window's share of that re-run: the runner's progress line (a real window) against a
#    window that shows nothing, and the share estimated from the display changes
# 4. one file of BIGFILE_MB MiB into a fresh target                 zarnoft-sync / cp -a + sync -f
#
# Fresh targets are made by renaming the old one aside (removed at the end), never by deleting it
# right before a timed run: creating files just after a mass deletion is several times slower on
# some file systems. The machine should be quiet while this runs.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${BUILD:-$ROOT/build-bench}
WORK=${WORK:-${TMPDIR:-/tmp}/zarnoft-bench}
ROUNDS=${ROUNDS:-5}
SMALL=${SMALL:-20000}
BIG=${BIG:-100000}
BIGFILE_MB=${BIGFILE_MB:-1024}

for tool in rsync /usr/bin/time python3; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "$tool fehlt (apt-get install -y rsync time python3)." >&2
    exit 2
  fi
done

cmake -S "$ROOT" -B "$BUILD" -G Ninja -DZARNOFT_UI=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD" --target zarnoft-sync bench_run_bench >/dev/null

rm -rf "$WORK"
mkdir -p "$WORK/bin" "$WORK/alt"
trap 'rm -rf "$WORK"' EXIT
# A portable copy of the runner with settings of its own: log off, plain deletion.
cp "$BUILD/bin/zarnoft-sync" "$WORK/bin/"
printf '[Allgemein]\nLLev=0\n[Data]\nLoeschen=1\n' >"$WORK/bin/Main.sda"
SYNC=$WORK/bin/zarnoft-sync
RUN=$BUILD/bench/bench_run_bench
# gen, sammlung, zeit, median, bericht
source "$ROOT/bench/bench_lib.sh"

# beiseite PATH: renames PATH aside, to be removed at the end.
n_alt=0
beiseite() {
  if [[ -e $1 ]]; then
    n_alt=$((n_alt + 1))
    mv "$1" "$WORK/alt/$n_alt"
  fi
}

# A run of zarnoft-sync flushes the file systems it wrote to (syncfs) before it counts as done;
# rsync and cp get the same flush of their target (sync -f) to be compared fairly.
RSYNC=(bash -c 'rsync -a "$1/" "$2/" && sync -f "$2"' rsync_sync)
CP=(bash -c 'cp -a "$1" "$2" && sync -f "$2"' cp_sync)

echo "Runden: $ROUNDS, Rechner: $(nproc) Kerne, $(uname -r)"

echo "== 1. Erste Kopie von $SMALL Dateien zu 1-8 KiB in ein neues Ziel"
gen "$WORK/s_h" "$SMALL" 1024 8192
sync
z=() r=()
for i in $(seq "$ROUNDS"); do
  beiseite "$WORK/s_z"
  beiseite "$WORK/s_r"
  mkdir "$WORK/s_z"
  sammlung "$WORK/s.syc" "$WORK/s_h" "$WORK/s_z" 1 5
  sync
  if ((i % 2)); then
    z+=("$(zeit "$SYNC" "$WORK/s.syc" | cut -d' ' -f1)")
    r+=("$(zeit "${RSYNC[@]}" "$WORK/s_h" "$WORK/s_r" | cut -d' ' -f1)")
  else
    r+=("$(zeit "${RSYNC[@]}" "$WORK/s_h" "$WORK/s_r" | cut -d' ' -f1)")
    z+=("$(zeit "$SYNC" "$WORK/s.syc" | cut -d' ' -f1)")
  fi
done
diff -rq "$WORK/s_h" "$WORK/s_z" >/dev/null && echo "  Inhalt gleich" || echo "  UNTERSCHIEDE"
bericht "zarnoft-sync / rsync -a + sync -f" "<= 1.00" "${z[@]}" -- "${r[@]}"

echo "== 2. Lauf ohne Änderung über $BIG Dateien"
gen "$WORK/b_h" "$BIG" 100 4000
mkdir "$WORK/b_z"
sammlung "$WORK/b.syc" "$WORK/b_h" "$WORK/b_z" 1 5
sync
erst=$(zeit "$SYNC" "$WORK/b.syc")
rsync -a "$WORK/b_h/" "$WORK/b_r/"
z=() r=() f=() zm=()
for i in $(seq "$ROUNDS"); do
  if ((i % 2)); then
    m=$(zeit "$SYNC" "$WORK/b.syc")
    r+=("$(zeit "${RSYNC[@]}" "$WORK/b_h" "$WORK/b_r" | cut -d' ' -f1)")
  else
    r+=("$(zeit "${RSYNC[@]}" "$WORK/b_h" "$WORK/b_r" | cut -d' ' -f1)")
    m=$(zeit "$SYNC" "$WORK/b.syc")
  fi
  z+=("${m% *}")
  zm+=("${m#* }")
  f+=("$(zeit find "$WORK/b_h" "$WORK/b_r" -printf '%s %T@\n' | cut -d' ' -f1)")
done
bericht "zarnoft-sync / rsync -a + sync -f" "<= 1.00" "${z[@]}" -- "${r[@]}"
bericht "zarnoft-sync / find (Grenze)" "" "${z[@]}" -- "${f[@]}"
bericht "rsync -a + sync -f / find (Grenze)" "" "${r[@]}" -- "${f[@]}"
awk -v a="${erst#* }" -v b="$(median "${zm[@]}")" \
  'BEGIN { printf "  Spitzenspeicher: erster Lauf %.1f MB, Lauf ohne Änderung %.1f MB  Ziel < 16 MB\n", a / 1024, b / 1024 }'

# The same re-run with 20 exclusion patterns that match nothing: what asking costs per name.
MUSTER='.cache/|.Trash-*/|*.swp|*~|.~lock.*#|Thumbs.db|.DS_Store|node_modules/|*.o|*.tmp|build/'
MUSTER+='|/Projekte/alt|**/tmp/*.log|cache-*|*.bak|[Tt]emp/|*.pyc|__pycache__/|.git/|dist/'
sammlung "$WORK/bm.syc" "$WORK/b_h" "$WORK/b_z" 1 5
printf 'Ausnahmen=%s\n' "$MUSTER" >>"$WORK/bm.syc"
m=() o=()
for i in $(seq "$ROUNDS"); do
  if ((i % 2)); then
    m+=("$(zeit "$SYNC" "$WORK/bm.syc" | cut -d' ' -f1)")
    o+=("$(zeit "$SYNC" "$WORK/b.syc" | cut -d' ' -f1)")
  else
    o+=("$(zeit "$SYNC" "$WORK/b.syc" | cut -d' ' -f1)")
    m+=("$(zeit "$SYNC" "$WORK/bm.syc" | cut -d' ' -f1)")
  fi
done
bericht "20 Muster ohne Treffer / ohne Muster" "<= 1.10" "${m[@]}" -- "${o[@]}"

echo "== 3. Anteil des Fensters am Lauf ohne Änderung"
t=() s=() anteil=()
for i in $(seq "$ROUNDS"); do
  if ((i % 2)); then
    zeile_t=$("$RUN" --gui-faden --fenster terminal "$WORK/b_h" "$WORK/b_z")
    zeile_s=$("$RUN" --gui-faden --fenster still "$WORK/b_h" "$WORK/b_z")
  else
    zeile_s=$("$RUN" --gui-faden --fenster still "$WORK/b_h" "$WORK/b_z")
    zeile_t=$("$RUN" --gui-faden --fenster terminal "$WORK/b_h" "$WORK/b_z")
  fi
  t+=("$(sed -n 's/.*sekunden=\([0-9.]*\).*/\1/p' <<<"$zeile_t")")
  s+=("$(sed -n 's/.*sekunden=\([0-9.]*\).*/\1/p' <<<"$zeile_s")")
  anteil+=("$(sed -n 's/.* anzeigeanteil=\([0-9.]*\)%.*/\1/p' <<<"$zeile_t")")
done
bericht "Fortschrittszeile / stilles Fenster" "< 1.05" "${t[@]}" -- "${s[@]}"
echo "  Anzeige-Änderungen, geschätzter Anteil: $(median "${anteil[@]}") %  Ziel < 5 %"
echo "  $zeile_t"

echo "== 4. Eine Datei von $BIGFILE_MB MiB in ein neues Ziel"
mkdir -p "$WORK/g_h"
head -c "$((BIGFILE_MB * 1024 * 1024))" /dev/urandom >"$WORK/g_h/gross.bin"
cat "$WORK/g_h/gross.bin" >/dev/null  # both read the source from the page cache
z=() c=()
for i in $(seq "$ROUNDS"); do
  beiseite "$WORK/g_z"
  beiseite "$WORK/g_cp.bin"
  mkdir "$WORK/g_z"
  sammlung "$WORK/g.syc" "$WORK/g_h" "$WORK/g_z" 2 0
  # Each starts with no dirty pages of the one before.
  if ((i % 2)); then
    sync
    z+=("$(zeit "$SYNC" "$WORK/g.syc" | cut -d' ' -f1)")
    sync
    c+=("$(zeit "${CP[@]}" "$WORK/g_h/gross.bin" "$WORK/g_cp.bin" | cut -d' ' -f1)")
  else
    sync
    c+=("$(zeit "${CP[@]}" "$WORK/g_h/gross.bin" "$WORK/g_cp.bin" | cut -d' ' -f1)")
    sync
    z+=("$(zeit "$SYNC" "$WORK/g.syc" | cut -d' ' -f1)")
  fi
done
cmp -s "$WORK/g_h/gross.bin" "$WORK/g_z/gross.bin" && echo "  Inhalt gleich" || echo "  UNTERSCHIEDE"
bericht "zarnoft-sync / cp -a + sync -f" "<= 1.05" "${z[@]}" -- "${c[@]}"
