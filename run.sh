#!/usr/bin/env bash
# Builds the program and starts it on its embedded demo site under ./site (as root on Debian 12).
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
scripts/build.sh
if [ ! -e site ]; then
  build/tools/cortivandela-site create site
fi
# The program and its copy in the update folder carry the build's date, so the start finds the
# workstation up to date.
install -p -m 0755 build/cortivandela site/Update/cortivandela
install -p -m 0755 build/cortivandela site/Sistema/cortivandela
exec site/Sistema/cortivandela "$@"
