#!/usr/bin/env bash
# Builds Quorvex with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-sanitize/ (or $QUORVEX_SANITIZE_BUILD_DIR) and runs every test there.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export QUORVEX_BUILD_DIR=${QUORVEX_SANITIZE_BUILD_DIR:-$root/build-sanitize}
"$root/scripts/build.sh" -DQUORVEX_SANITIZE=ON -DQUORVEX_BENCH=OFF
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
cd "$QUORVEX_BUILD_DIR"
ctest --output-on-failure --timeout 600 "$@"
