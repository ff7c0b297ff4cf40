#!/usr/bin/env bash
# Installs the Debian packages that Quorvex needs, skipping what is already
# there. Safe to run again.
#
#   scripts/setup.sh run    what building and running the program needs
#   scripts/setup.sh test   that, and what the tests, benchmarks, screenshots
#                           and package checks need (the default)
set -euo pipefail
set_name=${1:-test}

# Building and running the program.
run_packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  zlib1g-dev libjpeg62-turbo-dev libsodium-dev libgcrypt20-dev
  # the narrow fonts that stand in for the windows' Windows fonts
  fonts-dejavu-extra
)

# Only the tests, benchmarks, screenshots and package checks.
test_packages=(
  libgtest-dev libgmock-dev libbenchmark-dev
  # real peers and tools used by the tests
  wine wine64 nginx-light tinyproxy curl
  # the Unicode case folding data that platform/wine/CaseFoldingTable.cpp is made from
  unicode-data
  clang libclang-rt-14-dev
  # the Windows build of quorvex-cli and its tests, run under Wine
  g++-mingw-w64-x86-64-posix libz-mingw-w64-dev googletest
  libgcrypt-mingw-w64-dev libgpg-error-mingw-w64-dev
  # libsodium for Windows, built from its Debian source (scripts/windows-deps.sh)
  autoconf automake libtool
  # the Windows installer, its code signing and the throwaway certificate of its test
  nsis osslsigncode openssl
  # the icon of the Windows programs, made from the PNG pictures (icotool)
  icoutils
  # running in a real window, screenshots
  xvfb xauth x11-utils imagemagick
  # the install tree and the Debian package and their validators
  desktop-file-utils appstream lintian dpkg-dev file
  # hardening-check, on the packaged programs (about 3 MB beside lintian's)
  devscripts
  # the backup's copy-on-write clone, tested on an xfs image mounted from a loop device
  xfsprogs
)

case $set_name in
  run) packages=("${run_packages[@]}") ;;
  test) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
  *) echo "usage: $0 [run|test]" >&2; exit 2 ;;
esac

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
