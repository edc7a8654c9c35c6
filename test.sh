#!/usr/bin/env bash
# Builds the project and runs the whole test suite (as root on Debian 12).
#   ./test.sh             the plain build in ./build
#   ./test.sh --sanitize  an AddressSanitizer + UndefinedBehaviorSanitizer build in ./build-sanitize
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$(pwd)
BUILD=build
if [ "${1:-}" = "--sanitize" ]; then BUILD=build-sanitize; fi

# One run at a time: a second run waits here until the first has stopped its server.
exec 9>/tmp/cortivandela-test.lock
flock 9

scripts/deps.sh
# CTV_WERROR=ON (as .ci/run sets it) makes every compiler warning an error.
WERROR=-DCTV_WERROR=${CTV_WERROR:-OFF}
if [ "$BUILD" = build-sanitize ]; then
  scripts/build.sh "$BUILD" -DCTV_SANITIZE=ON "$WERROR"
  export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
else
  scripts/build.sh "$BUILD" "$WERROR"
fi

# The Firebird server of the multi-client tests: this run stops only a server it started.
PIDFILE=$(mktemp /tmp/ctv-fbserver.XXXXXX)
export CTV_FB_PIDFILE=$PIDFILE
trap '"$ROOT"/scripts/fbserver.sh stop; rm -f "$PIDFILE"' EXIT
scripts/fbserver.sh start
export CTV_SERVER=127.0.0.1 CTV_SERVER_DIR=/var/lib/ctv-test QT_QPA_PLATFORM=offscreen
cd "$BUILD"
ctest --output-on-failure -j2 --timeout 600
