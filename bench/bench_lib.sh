# Shell helpers of the comparison scripts in bench/, sourced by them. They expect WORK (a scratch
# directory of the script's own) to be set.

# gen DIR COUNT MIN MAX: COUNT files of MIN..MAX bytes, 100 to a directory, two levels deep,
# dated in the past year.
gen() {
  python3 - "$@" <<'EOF'
import os, random, sys, time
root, count, lo, hi = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
random.seed(7)
blob = os.urandom(16384)
now = time.time()
for i in range(count):
    d = os.path.join(root, "g%03d" % (i // 10000), "d%03d" % ((i // 100) % 100))
    if i % 100 == 0:
        os.makedirs(d, exist_ok=True)
    p = os.path.join(d, "f%05d.dat" % i)
    with open(p, "wb") as f:
        f.write(blob[i % 4096:i % 4096 + random.randint(lo, hi)])
    t = now - random.randint(86400, 365 * 86400)
    os.utime(p, (t, t))
EOF
}

# sammlung FILE SOURCE TARGET KIND SUBMODE: a collection with one job that never ran.
sammlung() {
  printf '[Allgemein]\nVersion=2\nAnzahl=1\n[Vorgang 1]\nHerkunft=%s\nZiel=%s\n' "$2" "$3" >"$1"
  printf 'Unterverzeichnisse=1\nArt=%s\nDoppelt=%s\n' "$4" "$5" >>"$1"
}

# zeit CMD...: runs CMD and prints "seconds peak-KiB" (or the fields of ZEIT_FORMAT, a format of
# /usr/bin/time); stops the script when CMD fails.
zeit() {
  if ! /usr/bin/time -f "${ZEIT_FORMAT:-%e %M}" -o "$WORK/zeit" "$@" >"$WORK/aus" 2>&1; then
    echo "Fehlgeschlagen: $*" >&2
    cat "$WORK/aus" >&2
    exit 1
  fi
  cat "$WORK/zeit"
}

median() { printf '%s\n' "$@" | sort -g | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

# bericht LABEL GOAL A... -- B...: medians of A and B, ratio of the medians, spread of A_i/B_i.
bericht() {
  local label=$1 ziel=$2
  shift 2
  local a=() b=()
  while [[ $1 != -- ]]; do a+=("$1"); shift; done
  shift
  b=("$@")
  local ma mb
  ma=$(median "${a[@]}")
  mb=$(median "${b[@]}")
  local quoten=()
  for i in "${!a[@]}"; do quoten+=("$(awk -v x="${a[$i]}" -v y="${b[$i]}" 'BEGIN { printf "%.3f", (y > 0 ? x / y : 0) }')"); done
  local lo hi
  lo=$(printf '%s\n' "${quoten[@]}" | sort -g | head -1)
  hi=$(printf '%s\n' "${quoten[@]}" | sort -g | tail -1)
  awk -v l="$label" -v a="$ma" -v b="$mb" -v lo="$lo" -v hi="$hi" -v z="$ziel" \
    'BEGIN { printf "  %-40s %7.2f s / %7.2f s = %5.2f  (%s..%s)%s\n", l, a, b, (b > 0 ? a / b : 0), lo, hi, (z == "" ? "" : "  Ziel " z) }'
}

