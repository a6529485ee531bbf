#!/usr/bin/env bash
# Installs the Debian packages the program and its tests need; only what is missing.
set -euo pipefail
packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev libqt6sql6-sqlite libsqlite3-dev
  libzip-dev libzint-dev libcurl4-openssl-dev
  p7zip-full poppler-utils fonts-dejavu-core xvfb
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Instalando: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y --no-install-recommends "${missing[@]}"
fi
