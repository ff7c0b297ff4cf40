#!/usr/bin/env bash
# Cross-compiles quorvex-cli.exe, quorvex.exe, the Windows tests and the
# Windows programs that the benchmarks start with mingw-w64 into
# build-windows/ (or $QUORVEX_WINDOWS_BUILD_DIR). The build runs the archive
# packer under Wine, in $WINEPREFIX, else a prefix of its own in the build
# folder. The libraries that Debian has no mingw-w64 package of are built
# first, once per build folder (scripts/windows-deps.sh). Extra arguments go
# to cmake's configure step.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUORVEX_WINDOWS_BUILD_DIR:-$root/build-windows}
mkdir -p "$build"
export WINEPREFIX=${WINEPREFIX:-$build/wine-prefix}
export WINEDEBUG=-all
"$root/scripts/windows-deps.sh" "$build"
cmake -S "$root" -B "$build" -G Ninja --toolchain "$root/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVEX_WERROR=${QUORVEX_WERROR:-ON} -DQUORVEX_BENCH=ON "$@" \
  >"$build/configure.log" || { cat "$build/configure.log" >&2; exit 1; }
# Whether the release is signed.
grep '^-- Windows release:' "$build/configure.log" || true
cmake --build "$build" --parallel "${QUORVEX_BUILD_JOBS:-$(nproc)}"
