#!/usr/bin/env bash
# Builds the libraries of the Windows build that Debian has no mingw-w64
# package of (libsodium, for the publisher's signature) from Debian's source
# package, into <build folder>/deps, where cmake finds them. The version is
# the one of the Linux build's libsodium-dev, so both systems verify with the
# same code; it is built once per build folder and skipped when that version,
# built the same way, is already there. Nothing is kept outside the build folder.
#
#   scripts/windows-deps.sh BUILD_FOLDER
#
# apt fetches the source package through a deb-src list of our own, copied
# from the system's list (the system's apt set-up is left alone) and checks
# it against the signed index.
set -euo pipefail
mkdir -p "${1:?usage: $0 BUILD_FOLDER}"
build=$(cd "$1" && pwd)
deps=$build/deps
host=x86_64-w64-mingw32
version=$(dpkg-query -W -f='${source:Version}' libsodium-dev)
# Static only, without tests or documentation, and libsodium's minimal set
# (signatures and base64 are in it), which builds in a third less time.
options=(--disable-shared --enable-static --disable-dependency-tracking --enable-minimal)
built="libsodium $version ${options[*]}"
stamp=$deps/libsodium.built
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$built" ]; then
  exit 0
fi
system_list=/etc/apt/sources.list.d/debian.sources
if [ ! -f "$system_list" ]; then
  echo "windows-deps: $system_list, the system's list of Debian's registry, is missing" >&2
  exit 1
fi

work=$build/deps-work
rm -rf "$work" "$deps"
mkdir -p "$work/apt/sources" "$work/apt/lists/partial" "$work/apt/cache/archives/partial"
# Runs a step with its output in a log, shown when the step fails.
log=$work/build.log
quiet() {
  "$@" >>"$log" 2>&1 || { tail -n 40 "$log" >&2; echo "windows-deps: $1 failed" >&2; exit 1; }
}
sed 's/^Types:[[:space:]]*deb$/Types: deb-src/' "$system_list" \
  >"$work/apt/sources/debian.sources"
apt_private=(
  -o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$work/apt/sources"
  -o Dir::State::Lists="$work/apt/lists" -o Dir::Cache="$work/apt/cache"
  -o APT::Sandbox::User="$(id -un)"
)
echo "windows-deps: fetching libsodium $version, Debian's source package"
apt-get -qq "${apt_private[@]}" update
(cd "$work" && apt-get -qq "${apt_private[@]}" source --download-only "libsodium=$version" >/dev/null)
# gpgv cannot check the maintainer's signature without Debian's keyring (a
# warning); apt has checked the files' hashes against the signed index.
quiet dpkg-source -x "$work"/libsodium_*.dsc "$work/libsodium"

echo "windows-deps: building libsodium $version for $host"
cd "$work/libsodium"
# The source has no configure script: made here, as Debian's build does.
quiet autoreconf -fi
# Paths of this folder are left out of the objects, so the library is the
# same whatever folder built it.
quiet ./configure --host=$host --prefix="$deps" "${options[@]}" CC=$host-gcc-posix \
  CFLAGS="-O2 -ffile-prefix-map=$work/libsodium=libsodium"
quiet make -j"$(nproc)" install
echo "$built" >"$stamp"
rm -rf "$work"
