#!/usr/bin/env bash
# Builds the libraries of the Windows build that Debian has no mingw-w64
# package of (libsodium, for the publisher's signature) from Debian's source
# package, into <build folder>/deps, where cmake finds them. The version is
# the one of the Linux build's libsodium-dev, so both systems verify with the
# same code; it is built once per build folder and skipped when that version
# is already there. Nothing is kept outside the build folder.
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
stamp=$deps/libsodium.version
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$version" ]; then
  exit 0
fi

work=$build/deps-work
rm -rf "$work" "$deps"
mkdir -p "$work/apt/sources" "$work/apt/lists/partial" "$work/apt/cache/archives/partial"
sed 's/^Types:[[:space:]]*deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
  >"$work/apt/sources/debian.sources"
apt_private=(
  -o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$work/apt/sources"
  -o Dir::State::Lists="$work/apt/lists" -o Dir::Cache="$work/apt/cache"
  -o APT::Sandbox::User="$(id -un)"
)
echo "windows-deps: fetching libsodium $version, Debian's source package"
apt-get -qq "${apt_private[@]}" update
(cd "$work" && apt-get -qq "${apt_private[@]}" source --download-only "libsodium=$version" >/dev/null)
# gpgv cannot check the maintainer's signature without Debian's keyring;
# apt has checked the files' hashes against the signed index.
dpkg-source -q -x "$work"/libsodium_*.dsc "$work/libsodium" >/dev/null 2>&1

echo "windows-deps: building libsodium $version for $host"
cd "$work/libsodium"
# The source has no configure script: made here, as Debian's build does.
log=$work/build.log
quiet() {
  "$@" >>"$log" 2>&1 || { tail -n 40 "$log" >&2; echo "windows-deps: $1 failed" >&2; exit 1; }
}
quiet autoreconf -fi
# Static only, no tests or documentation; paths of this folder are left out
# of the objects, so the library is the same whatever folder built it.
quiet ./configure --host=$host --prefix="$deps" --disable-shared --enable-static \
  --disable-dependency-tracking CC=$host-gcc-posix \
  CFLAGS="-O2 -ffile-prefix-map=$work/libsodium=libsodium"
quiet make -j"$(nproc)" install
echo "$version" >"$stamp"
rm -rf "$work"
