#!/usr/bin/env bash
# Configures and builds the project: scripts/build.sh [FOLDER [CMAKE OPTIONS...]] (default ./build).
set -euo pipefail
cd "$(dirname "$0")/.."
DIR=${1:-build}
shift || true
cmake -S . -B "$DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$DIR" -j"$(nproc)"
