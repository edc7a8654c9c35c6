#!/usr/bin/env bash
# Builds the project and runs the whole test suite (as root on Debian 12).
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$(pwd)
scripts/deps.sh
scripts/build.sh
scripts/fbserver.sh start
trap '"$ROOT"/scripts/fbserver.sh stop' EXIT
export CTV_SERVER=127.0.0.1 CTV_SERVER_DIR=/var/lib/ctv-test QT_QPA_PLATFORM=offscreen
cd build
ctest --output-on-failure -j2 --timeout 600
