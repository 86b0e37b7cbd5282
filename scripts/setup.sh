#!/usr/bin/env bash
# Installs what the build and the tests need (Debian 12), then configures and builds.
# Quick when everything is present: apt-get runs only for missing packages.
#   scripts/setup.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${1:-build}

PACKAGES=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    libxlsxwriter-dev libminizip-dev libfreexl-dev
    fp-compiler fp-units-db
    xvfb xauth fonts-dejavu-core
    qt6-translations-l10n
)
if [ -f scripts/extra-packages.txt ]; then
    while read -r pkg; do
        [ -n "$pkg" ] && [ "${pkg:0:1}" != "#" ] && PACKAGES+=("$pkg")
    done < scripts/extra-packages.txt
fi

missing=()
for pkg in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$pkg")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO=sudo
    echo "Installing: ${missing[*]}"
    $SUDO apt-get update -q
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$BUILD_DIR" -j "$(nproc)"
