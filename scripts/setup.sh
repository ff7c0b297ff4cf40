#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Quorvex
# needs, skipping what is already there. Safe to run again.
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  zlib1g-dev libjpeg62-turbo-dev libsodium-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  # real peers and tools used by the tests
  wine wine64 nginx-light tinyproxy curl
  clang libclang-rt-14-dev
  # running in a real window, screenshots
  xvfb xauth x11-utils imagemagick
  # the narrow fonts that stand in for the windows' Windows fonts
  fonts-dejavu-extra
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then sudo=sudo; else sudo=; fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
