#!/usr/bin/env bash
# Builds the program and starts it on its embedded demo site under ./site (as root on Debian 12).
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
scripts/build.sh
if [ ! -e site ]; then
  build/tools/cortivandela-site create site
fi
install -m 0755 build/cortivandela site/Sistema/cortivandela
exec site/Sistema/cortivandela "$@"
