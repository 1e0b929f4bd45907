#!/usr/bin/env bash
# Installs the Debian 12 packages Fieldkit needs to build, run and test.
# Only calls apt-get when something is missing, so repeated runs are quick.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config
  libsqlite3-dev nlohmann-json3-dev
  qt6-base-dev qt6-base-dev-tools libgl1-mesa-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libcurl4-openssl-dev curl tftp-hpa tftpd-hpa
  iproute2 procps nftables libcap2-bin
  xvfb xauth x11-apps imagemagick fonts-noto-cjk fonts-dejavu-core
  clang-format python3
  clang libclang-rt-14-dev
  libcli11-dev nlohmann-json3-dev
  debhelper lintian desktop-file-utils appstream
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
  # tftpd-hpa is here only for its binary, which the benchmark runs by hand in a
  # namespace. Its system service would take port 69 from FileServer, so a service
  # this run installed is stopped and disabled again.
  if [[ " ${missing[*]} " == *" tftpd-hpa "* ]]; then
    if command -v systemctl >/dev/null && [ -d /run/systemd/system ]; then
      $SUDO systemctl disable --now tftpd-hpa >/dev/null 2>&1 || true
    elif command -v service >/dev/null; then
      $SUDO service tftpd-hpa stop >/dev/null 2>&1 || true
    fi
  fi
fi
