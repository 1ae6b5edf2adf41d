#!/usr/bin/env bash
# Builds the two Debian packages as a distribution builds them: the flags of dpkg-buildflags
# (fortify, stack protector, relro and now, PIE), no warnings as errors, no tests, and the same
# bytes from the same sources wherever they lie: the time stamps come from the newest changelog
# entry (SOURCE_DATE_EPOCH) and the source and build folders are mapped away in the programs.
#   scripts/build-deb.sh [BUILD_DIR]       (default: build-deb; JOBS: parallel jobs)
# Leaves zarnoft-sync_<version>_<arch>.deb and zarnoft_<version>_<arch>.deb in BUILD_DIR.
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "${1:-$src/build-deb}"
build=$(cd "${1:-$src/build-deb}" && pwd)
cd "$src"

SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(dpkg-parsechangelog -l packaging/changelog -STimestamp)}
export SOURCE_DATE_EPOCH
# Qt's resource compiler stamps the files it packs with their times; the changelog's instead.
export QT_RCC_SOURCE_DATE_OVERRIDE=$SOURCE_DATE_EPOCH
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
export DEB_CXXFLAGS_MAINT_APPEND="-ffile-prefix-map=$src=. -ffile-prefix-map=$build=."
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)

cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=None -DCMAKE_INSTALL_PREFIX=/usr \
  -DZARNOFT_WERROR=OFF -DBUILD_TESTING=OFF -DCMAKE_CXX_FLAGS="$cxxflags" \
  -DCMAKE_EXE_LINKER_FLAGS="$ldflags" -DCMAKE_STRIP="$src/packaging/strip.sh" >/dev/null
cmake --build "$build" -j "${JOBS:-$(nproc)}"
rm -f "$build"/zarnoft_*.deb "$build"/zarnoft-sync_*.deb
(cd "$build" && cpack -G DEB >cpack.log 2>&1) || {
  cat "$build/cpack.log" >&2
  echo "FEHLER: cpack konnte die Pakete nicht bauen." >&2
  exit 1
}
ls "$build"/zarnoft-sync_*.deb "$build"/zarnoft_*.deb
