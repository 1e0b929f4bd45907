#!/usr/bin/env bash
# Installs the Debian 12 packages Fieldkit needs to build, run and test.
# Only calls apt-get when something is missing, so repeated runs are quick.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config
  libsqlite3-dev
  qt6-base-dev qt6-base-dev-tools libgl1-mesa-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libcurl4-openssl-dev curl tftp-hpa
  iproute2 procps
  xvfb xauth x11-apps imagemagick fonts-noto-cjk fonts-dejavu-core
  clang-format python3
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
