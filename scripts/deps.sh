#!/usr/bin/env bash
# Installs the Debian packages the suite builds, tests and demonstrates with (skipped when present).
set -euo pipefail
packages=(
  g++ cmake make pkg-config
  qtbase5-dev libquazip1-qt5-dev zlib1g-dev libssl-dev
  nginx curl zip unzip libarchive-tools time
  xvfb xauth fonts-wqy-microhei
)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y --no-install-recommends "${missing[@]}"
fi
