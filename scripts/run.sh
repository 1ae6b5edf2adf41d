#!/usr/bin/env bash
# Installs what is missing, builds, and starts the editor from the build folder; arguments go
# to the editor (a collection to open, or Qt's options such as -platform offscreen).
#   bash scripts/run.sh [SAMMLUNG.syc]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
exec "${BUILD:-build}/bin/zarnoft" "$@"
