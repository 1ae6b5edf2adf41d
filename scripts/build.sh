#!/usr/bin/env bash
# Configures and builds the project in a build folder, with warnings as errors, as the tests and
# the editor from the build folder use it.
#   scripts/build.sh [BUILD_DIR]          (default: build; JOBS: parallel jobs, default nproc)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-${BUILD:-build}}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZARNOFT_WERROR=ON >/dev/null
cmake --build "$build" -j "${JOBS:-$(nproc)}"
