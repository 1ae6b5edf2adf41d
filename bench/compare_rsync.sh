#!/usr/bin/env bash
# Measures runs of zarnoft side by side with rsync and cp on generated trees, in the same run and
# on the same file system. Nothing is asserted; the numbers are printed.
#
#   bench/compare_rsync.sh            (environment: BUILD, WORK, SMALL, BIG, BIGFILE_MB)
#
# 1. first two-way run over SMALL (20000) small files           vs rsync -a
# 2. no-change re-run over BIG (100000) files                     vs rsync -a re-run
# 3. one file of BIGFILE_MB (1024) MiB                            vs cp
# 4. peak memory of the first run over BIG files                  (target below 64 MB)
# 5. share of the run spent in window calls, no-op window         (target below 5 %), and the
#    same re-run with the window calls carried over to a second thread like the real window
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${BUILD:-$ROOT/build-bench}
WORK=${WORK:-${TMPDIR:-/tmp}/zarnoft-bench}
SMALL=${SMALL:-20000}
BIG=${BIG:-100000}
BIGFILE_MB=${BIGFILE_MB:-1024}

cmake -S "$ROOT" -B "$BUILD" -G Ninja -DZARNOFT_UI=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  >/dev/null
cmake --build "$BUILD" --target bench_run_bench >/dev/null
RUN=$BUILD/bench/bench_run_bench

HAVE_RSYNC=1
if ! command -v rsync >/dev/null 2>&1; then
  HAVE_RSYNC=0
  echo "rsync fehlt (apt-get install -y rsync): die rsync-Vergleiche entfallen." >&2
fi
TIME=/usr/bin/time
if [[ ! -x $TIME ]]; then
  echo "/usr/bin/time fehlt (apt-get install -y time): Zeiten ohne Speicherangabe." >&2
  TIME=""
fi

rm -rf "$WORK"
mkdir -p "$WORK"
trap 'rm -rf "$WORK"' EXIT

# gen DIR COUNT: COUNT files of 100 to 4000 bytes in directories of 100 files, two levels deep,
# dated in the past year.
gen() {
  python3 - "$1" "$2" <<'EOF'
import os, random, sys, time
root, count = sys.argv[1], int(sys.argv[2])
random.seed(7)
blob = os.urandom(8192)
now = time.time()
for i in range(count):
    d = os.path.join(root, "g%03d" % (i // 10000), "d%03d" % ((i // 100) % 100))
    if i % 100 == 0:
        os.makedirs(d, exist_ok=True)
    p = os.path.join(d, "f%05d.dat" % i)
    n = random.randint(100, 4000)
    with open(p, "wb") as f:
        f.write(blob[i % 4096:i % 4096 + n])
    t = now - random.randint(86400, 365 * 86400)
    os.utime(p, (t, t))
EOF
}

# timed LABEL CMD...: runs CMD, prints its wall time and peak memory, then what it printed.
timed() {
  local label=$1
  shift
  local status=0
  if [[ -n $TIME ]]; then
    "$TIME" -f "%e %M" -o "$WORK/zeit" "$@" >"$WORK/stdout" || status=$?
    awk -v l="$label" '{ printf "  %-40s %8.2f s %8.1f MB\n", l, $1, $2 / 1024 }' "$WORK/zeit"
  else
    local t0 t1
    t0=$(date +%s.%N)
    "$@" >"$WORK/stdout" || status=$?
    t1=$(date +%s.%N)
    awk -v l="$label" -v a="$t0" -v b="$t1" 'BEGIN { printf "  %-40s %8.2f s\n", l, b - a }'
  fi
  sed 's/^/      /' "$WORK/stdout"
  ((status == 0)) || echo "      Rückgabewert $status"
}

same_tree() {
  if diff -rq "$1" "$2" >/dev/null; then echo "      Inhalt gleich"; else echo "      UNTERSCHIEDE"; fi
}

echo "== 1. Erster Zwei-Wege-Lauf über $SMALL kleine Dateien"
gen "$WORK/s_h" "$SMALL"
mkdir -p "$WORK/s_z"
timed "zarnoft (Art 1, nie gelaufen)" "$RUN" --art 1 "$WORK/s_h" "$WORK/s_z"
same_tree "$WORK/s_h" "$WORK/s_z"
if ((HAVE_RSYNC)); then
  timed "rsync -a" rsync -a "$WORK/s_h/" "$WORK/s_r/"
fi
rm -rf "$WORK/s_h" "$WORK/s_z" "$WORK/s_r"

echo "== 2. Lauf ohne Änderung über $BIG Dateien (mit 4. und 5.: erster Lauf)"
gen "$WORK/b_h" "$BIG"
mkdir -p "$WORK/b_z"
timed "zarnoft erster Lauf (Art 1)" "$RUN" --art 1 --aufruf-datei "$WORK/aufruf" \
  "$WORK/b_h" "$WORK/b_z"
timed "zarnoft erneut, keine Änderung" "$RUN" --art 1 --aufruf-datei "$WORK/aufruf" \
  "$WORK/b_h" "$WORK/b_z"
timed "zarnoft erneut, Kopierauftrag (Art 2)" "$RUN" --art 2 --doppelt 0 \
  --aufruf-datei "$WORK/aufruf" "$WORK/b_h" "$WORK/b_z"
# The same with every window call carried over to another thread and waited for, as the real
# window does.
timed "zarnoft erneut, Fenster im GUI-Faden" "$RUN" --art 1 --gui-faden \
  --aufruf-datei "$WORK/aufruf" "$WORK/b_h" "$WORK/b_z"
if ((HAVE_RSYNC)); then
  timed "rsync -a erster Lauf" rsync -a "$WORK/b_h/" "$WORK/b_r/"
  timed "rsync -a erneut, keine Änderung" rsync -a "$WORK/b_h/" "$WORK/b_r/"
fi
rm -rf "$WORK/b_h" "$WORK/b_z" "$WORK/b_r"

echo "== 3. Eine Datei von $BIGFILE_MB MiB"
mkdir -p "$WORK/g_h" "$WORK/g_z" "$WORK/g_cp"
head -c "$((BIGFILE_MB * 1024 * 1024))" /dev/urandom >"$WORK/g_h/gross.bin"
timed "zarnoft (Art 2)" "$RUN" --art 2 --doppelt 0 "$WORK/g_h" "$WORK/g_z"
timed "cp" cp "$WORK/g_h/gross.bin" "$WORK/g_cp/gross.bin"
cmp -s "$WORK/g_h/gross.bin" "$WORK/g_z/gross.bin" && echo "      Inhalt gleich" ||
  echo "      UNTERSCHIEDE"
