#!/usr/bin/env bash
# Installs the Debian packages the project needs, only those that are missing.
set -euo pipefail
PACKAGES=(build-essential cmake pkg-config clang-format libgtest-dev
  firebird3.0-server-core firebird3.0-utils firebird-dev libfbclient2 firebird3.0-server
  qt6-base-dev qt6-charts-dev libqt6opengl6-dev libcurl4-openssl-dev libxlsxwriter-dev libmuparser-dev
  fonts-dejavu-core fonts-liberation2 fonts-wine xvfb xauth poppler-utils qt6-translations-l10n
  python3-aiosmtpd openssl python3-openpyxl)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Instalando pacotes: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
