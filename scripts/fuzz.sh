#!/usr/bin/env bash
# Builds the fuzz targets (fuzz/) with clang's libFuzzer, AddressSanitizer and UBSan in their own
# build folder and runs each for a few seconds over its seed corpus (fuzz/korpus/<name>/, copied,
# so that the repository's corpus only changes by hand). Prints the executions of each target;
# a crash stops with the input that caused it in the working folder (crash-*), which belongs in
# fuzz/korpus/<name>/ as a regression case once it is fixed. Skipped without clang++.
#   bash scripts/fuzz.sh [SEKUNDEN]    (environment: FUZZ_BUILD=build-fuzz)
set -euo pipefail
cd "$(dirname "$0")/.."
sekunden=${1:-${FUZZ_SECONDS:-5}}
build=${FUZZ_BUILD:-build-fuzz}
if ! command -v clang++ >/dev/null 2>&1; then
  echo "clang++ fehlt: Fuzz-Läufe übersprungen."
  exit 0
fi
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DZARNOFT_UI=OFF -DZARNOFT_FUZZ=ON >/dev/null
ziele=(ini_text sammlung einstellungen rotation aufruf automatik)
cmake --build "$build" -j "${JOBS:-$(nproc)}" --target "${ziele[@]/#/fuzz_}"
arbeit=$(mktemp -d)
trap 'rm -rf "$arbeit"' EXIT
for ziel in "${ziele[@]}"; do
  mkdir -p "$arbeit/$ziel"
  cp fuzz/korpus/"$ziel"/* "$arbeit/$ziel/"
  ausgabe=$("$build/fuzz/fuzz_$ziel" -max_total_time="$sekunden" -timeout=10 -rss_limit_mb=1024 \
    -print_final_stats=1 "$arbeit/$ziel" 2>&1) || {
    echo "$ausgabe" | tail -40
    echo "Fuzz-Ziel $ziel: Fehler gefunden (Eingabe: crash-* im Arbeitsordner)." >&2
    exit 1
  }
  laeufe=$(echo "$ausgabe" | sed -n 's/^stat::number_of_executed_units: *//p')
  echo "fuzz_$ziel: $laeufe Ausführungen in $sekunden s, keine Fehler"
done
