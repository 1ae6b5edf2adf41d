#!/bin/sh
# Runs the settings accessor benchmark on the disk ($TMPDIR, else /tmp) and, where there is one,
# in memory (/dev/shm), so that the cost of the disk and that of the accessor can be told apart.
# Usage: bench/ini_bench.sh [path to bench_ini_bench]   (default: build/bench/bench_ini_bench)
set -e
bin=${1:-build/bench/bench_ini_bench}
if [ ! -x "$bin" ]; then
  echo "ini_bench.sh: $bin fehlt; erst bauen: cmake --build build --target bench_ini_bench" >&2
  exit 1
fi
echo "== Platte (${TMPDIR:-/tmp})"
"$bin"
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  echo "== Speicher (/dev/shm)"
  TMPDIR=/dev/shm "$bin"
fi
