#!/usr/bin/env bash
# A run from the editor (real Qt progress window, offscreen) side by side with the same run
# through the headless runner's path, over BIG (100000) unchanged files. Nothing is asserted; the
# times of ROUNDS paired runs and the ratio of the medians are printed. Target: editor <= 1.1 x.
#
#   bench/compare_editor.sh            (environment: BUILD, WORK, BIG, ROUNDS)
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${BUILD:-$ROOT/build}
WORK=${WORK:-${TMPDIR:-/tmp}/zarnoft-bench-editor}
BIG=${BIG:-100000}
ROUNDS=${ROUNDS:-5}

cmake --build "$BUILD" --target bench_run_bench bench_editor_run_bench >/dev/null
RUNNER=$BUILD/bench/bench_run_bench
EDITOR=$BUILD/ui/bench_editor_run_bench

rm -rf "$WORK"
mkdir -p "$WORK/h" "$WORK/z"
trap 'rm -rf "$WORK"' EXIT
python3 - "$WORK/h" "$BIG" <<'PY'
import os, sys
root, count = sys.argv[1], int(sys.argv[2])
for i in range(count):
    d = os.path.join(root, "g%03d" % (i // 10000), "d%03d" % ((i // 100) % 100))
    if i % 100 == 0:
        os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, "f%05d.dat" % i), "wb") as f:
        f.write(b"x" * (100 + i % 900))
    t = 1.6e9 + i
    os.utime(os.path.join(d, "f%05d.dat" % i), (t, t))
PY
"$RUNNER" --art 1 --aufruf-datei "$WORK/aufruf" "$WORK/h" "$WORK/z" >/dev/null

sekunden() { "$@" | sed -n 's/.*sekunden=\([0-9.]*\).*/\1/p'; }
r=()
e=()
for _ in $(seq "$ROUNDS"); do
  r+=("$(sekunden "$RUNNER" --art 1 --gui-faden --aufruf-datei "$WORK/aufruf" "$WORK/h" "$WORK/z")")
  e+=("$(sekunden "$EDITOR" --art 1 --aufruf-datei "$WORK/aufruf" "$WORK/h" "$WORK/z")")
done
median() { printf '%s\n' "$@" | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
mr=$(median "${r[@]}")
me=$(median "${e[@]}")
echo "Lauf ohne Änderung über $BIG Dateien, $ROUNDS Paare"
echo "  Läufer-Pfad (Fenster im zweiten Faden): ${r[*]}  Median $mr s"
echo "  Editor (Qt-Fortschrittsfenster):        ${e[*]}  Median $me s"
awk -v a="$me" -v b="$mr" 'BEGIN { printf "  Verhältnis Editor / Läufer: %.2f (Ziel <= 1.10)\n", a / b }'
