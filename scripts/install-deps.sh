#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the program and the tests need.
set -euo pipefail
PKGS=(
    build-essential cmake pkg-config clang clang-format libclang-rt-14-dev
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libssl-dev libsodium-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    xdg-utils shared-mime-info desktop-file-utils libfile-mimeinfo-perl libglib2.0-bin
    qt6-svg-dev librsvg2-bin libnautilus-extension-dev
    python3 python3-cryptography python3-argon2
    lintian file
)
missing=()
for p in "${PKGS[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
