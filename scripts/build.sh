#!/usr/bin/env bash
# Configures and builds Quorvex into build/ (or $QUORVEX_BUILD_DIR): every
# target, or only those named in $QUORVEX_TARGETS. Arguments go to cmake's
# configure step.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUORVEX_BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE:-RelWithDebInfo} \
  -DQUORVEX_WERROR=${QUORVEX_WERROR:-ON} "$@" >/dev/null
targets=()
for target in ${QUORVEX_TARGETS:-}; do
  targets+=(--target "$target")
done
cmake --build "$build" "${targets[@]}" --parallel "$(nproc)"
