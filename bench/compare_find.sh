#!/usr/bin/env bash
# Measures the directory size listing side by side with find on a generated tree: FILES (100000)
# files in DIRS (1000) directories, page cache warm, ROUNDS (5) alternating rounds of each; prints
# the median of each and their ratio (target: the listing at most 1.5 times find). Nothing is
# asserted.
#
#   bench/compare_find.sh            (environment: BUILD, WORK, FILES, DIRS, ROUNDS)
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${BUILD:-$ROOT/build-bench}
WORK=${WORK:-${TMPDIR:-/tmp}/zarnoft-listing-bench}
FILES=${FILES:-100000}
DIRS=${DIRS:-1000}
ROUNDS=${ROUNDS:-5}

cmake -S "$ROOT" -B "$BUILD" -G Ninja -DZARNOFT_UI=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  >/dev/null
cmake --build "$BUILD" --target bench_listing_bench >/dev/null
LISTING=$BUILD/bench/bench_listing_bench

rm -rf "$WORK"
mkdir -p "$WORK"
trap 'rm -rf "$WORK"' EXIT

# FILES files of 0 to 4000 bytes spread evenly over DIRS directories, ten to a parent.
python3 - "$WORK/baum" "$FILES" "$DIRS" <<'PY'
import os, random, sys
root, files, dirs = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
random.seed(7)
blob = b"x" * 4096
per = max(1, files // dirs)
for d in range(dirs):
    p = os.path.join(root, "g%03d" % (d // 10), "d%04d" % d)
    os.makedirs(p, exist_ok=True)
    for i in range(per):
        with open(os.path.join(p, "f%05d" % i), "wb") as f:
            f.write(blob[: random.randint(0, 4000)])
PY

now() { date +%s.%N; }
median() { sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

# Warm the cache with one of each.
find "$WORK/baum" -type f -printf '%s\n' >/dev/null
"$LISTING" "$WORK/baum" >/dev/null

: >"$WORK/find.txt"
: >"$WORK/listing.txt"
for ((r = 0; r < ROUNDS; r++)); do
  t0=$(now)
  find "$WORK/baum" -type f -printf '%s\n' >/dev/null
  t1=$(now)
  awk -v a="$t1" -v b="$t0" 'BEGIN { print a - b }' >>"$WORK/find.txt"
  t0=$(now)
  out=$("$LISTING" "$WORK/baum")
  t1=$(now)
  awk -v a="$t1" -v b="$t0" 'BEGIN { print a - b }' >>"$WORK/listing.txt"
done

F=$(median <"$WORK/find.txt")
L=$(median <"$WORK/listing.txt")
echo "find:    ${F} s (Median aus $ROUNDS)"
echo "Listing: ${L} s (Median aus $ROUNDS)   letzter Lauf: $out"
echo "Verhältnis Listing/find: $(awk -v l="$L" -v f="$F" 'BEGIN { printf "%.2f", l / f }')   (Ziel: höchstens 1.5)"
