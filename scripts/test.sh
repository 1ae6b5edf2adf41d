#!/usr/bin/env bash
# Installs what is missing, builds, runs every test, builds and checks the two Debian packages
# (in their own build folder, with the distribution's flags; where dpkg-deb is installed), then
# runs the core tests once more under AddressSanitizer and UndefinedBehaviorSanitizer, and last
# runs each fuzz target for a few seconds (scripts/fuzz.sh, with clang). Stops at
# the first failing step.
#   bash scripts/test.sh [tests|paket|asan|fuzz]...   (default: all four, in this order)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build}
asan_build=${ASAN_BUILD:-build-asan}
deb_build=${DEB_BUILD:-build-deb}
jobs=${JOBS:-$(nproc)}
schritte=("$@")
[ ${#schritte[@]} -eq 0 ] && schritte=(tests paket asan fuzz)

bash scripts/install-deps.sh
for schritt in "${schritte[@]}"; do
  case "$schritt" in
    tests)
      bash scripts/build.sh "$build"
      (cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs")
      ;;
    paket)
      if command -v dpkg-deb >/dev/null 2>&1; then
        bash scripts/check-package.sh "$deb_build"
      fi
      ;;
    asan)
      cmake -S . -B "$asan_build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZARNOFT_SANITIZE=ON \
        -DZARNOFT_WERROR=ON -DZARNOFT_UI=OFF >/dev/null
      cmake --build "$asan_build" -j "$jobs"
      (cd "$asan_build" && ASAN_OPTIONS=detect_leaks=1 \
        UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ctest --output-on-failure -j "$jobs")
      ;;
    fuzz)
      JOBS=$jobs bash scripts/fuzz.sh "${FUZZ_SECONDS:-5}"
      ;;
    *)
      echo "Unbekannter Schritt: $schritt (tests, paket, asan oder fuzz)" >&2
      exit 2
      ;;
  esac
done
