#!/usr/bin/env bash
# Installs what building, running and testing Zelvan need on Debian 12.
# Idempotent: only missing packages are installed.
set -euo pipefail

packages=(
    g++ cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libsqlite3-dev qt6-qpa-plugins libgl-dev
    libarchive-dev libpugixml-dev libcurl4-openssl-dev python3-pyftpdlib openssl curl
    googletest libgtest-dev libbenchmark-dev
    fonts-dejavu-core
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
