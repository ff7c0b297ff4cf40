#!/usr/bin/env bash
# Builds the libraries of the Windows build that Debian has no mingw-w64
# package of (libsodium, for the publisher's signature; libjpeg-turbo, for the
# advert previews) from Debian's source packages, into <build folder>/deps,
# where cmake finds them. The versions are those of the Linux build's -dev
# packages, so both systems run the same code; each library is built once per
# build folder and skipped when that version, built the same way, is already
# there. Nothing is kept outside the build folder.
#
#   scripts/windows-deps.sh BUILD_FOLDER
#
# apt fetches the source packages through a deb-src list of our own, copied
# from the system's list (the system's apt set-up is left alone) and checks
# them against the signed index.
set -euo pipefail
mkdir -p "${1:?usage: $0 BUILD_FOLDER}"
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
deps=$build/deps
host=x86_64-w64-mingw32

sodium_version=$(dpkg-query -W -f='${source:Version}' libsodium-dev)
# Static only, without tests or documentation, and libsodium's minimal set
# (signatures and base64 are in it), which builds in a third less time.
sodium_options=(--disable-shared --enable-static --disable-dependency-tracking --enable-minimal)
sodium_built="libsodium $sodium_version ${sodium_options[*]}"

jpeg_version=$(dpkg-query -W -f='${source:Version}' libjpeg62-turbo-dev)
# The static libjpeg alone (the libjpeg 6.2 interface, as on Linux): no
# TurboJPEG interface, no tools, and no SIMD code, which needs an assembler
# the build does not have. BUILD, otherwise the day's date, keeps the objects
# the same whatever day built them.
jpeg_options=(-DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=OFF
  -DCMAKE_BUILD_TYPE=None "-DBUILD=$jpeg_version")
jpeg_built="libjpeg-turbo $jpeg_version ${jpeg_options[*]}"

is_built() {
  [ -f "$deps/$1.built" ] && [ "$(cat "$deps/$1.built")" = "$2" ]
}
if is_built libsodium "$sodium_built" && is_built libjpeg "$jpeg_built"; then
  exit 0
fi
system_list=/etc/apt/sources.list.d/debian.sources
if [ ! -f "$system_list" ]; then
  echo "windows-deps: $system_list, the system's list of Debian's registry, is missing" >&2
  exit 1
fi

work=$build/deps-work
rm -rf "$work"
mkdir -p "$deps" "$work/apt/sources" "$work/apt/lists/partial" "$work/apt/cache/archives/partial"
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
apt-get -qq "${apt_private[@]}" update

# Fetches and unpacks a source package into $work/NAME.
unpack_source() {
  local name=$1 version=$2
  echo "windows-deps: fetching $name $version, Debian's source package"
  mkdir -p "$work/$name-download"
  (cd "$work/$name-download" && apt-get -qq "${apt_private[@]}" source --download-only "$name=$version" >/dev/null)
  # gpgv cannot check the maintainer's signature without Debian's keyring (a
  # warning); apt has checked the files' hashes against the signed index.
  quiet dpkg-source -x "$work/$name-download"/"$name"_*.dsc "$work/$name"
  echo "windows-deps: building $name $version for $host"
}

# Paths of the work folder are left out of the objects, so each library is
# the same whatever folder built it.
build_sodium() {
  rm -f "$deps/libsodium.built"
  unpack_source libsodium "$sodium_version"
  cd "$work/libsodium"
  # The source has no configure script: made here, as Debian's build does.
  quiet autoreconf -fi
  quiet ./configure --host=$host --prefix="$deps" "${sodium_options[@]}" CC=$host-gcc-posix \
    CFLAGS="-O2 -ffile-prefix-map=$work/libsodium=libsodium"
  quiet make -j"$(nproc)" install
  echo "$sodium_built" >"$deps/libsodium.built"
}

build_jpeg() {
  rm -f "$deps/libjpeg.built"
  unpack_source libjpeg-turbo "$jpeg_version"
  local source=$work/libjpeg-turbo objects=$work/libjpeg-turbo-build
  quiet cmake -S "$source" -B "$objects" -G Ninja --toolchain "$root/cmake/mingw-w64.cmake" "${jpeg_options[@]}" "-DCMAKE_INSTALL_PREFIX=$deps" \
    "-DCMAKE_C_FLAGS=-O2 -ffile-prefix-map=$source=libjpeg-turbo -ffile-prefix-map=$objects=libjpeg-turbo"
  quiet cmake --build "$objects" --target jpeg-static --parallel "$(nproc)"
  # Only the library and the headers its users include.
  mkdir -p "$deps/include" "$deps/lib"
  cp "$objects/libjpeg.a" "$deps/lib/"
  cp "$objects/jconfig.h" "$source/jpeglib.h" "$source/jmorecfg.h" "$source/jerror.h" "$deps/include/"
  echo "$jpeg_built" >"$deps/libjpeg.built"
}

start=$SECONDS
is_built libsodium "$sodium_built" || build_sodium
is_built libjpeg "$jpeg_built" || build_jpeg
echo "windows-deps: built in $((SECONDS - start)) s"
rm -rf "$work"
