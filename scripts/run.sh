#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it (scripts/start.sh)
# on the messenger that it finds, else on a demo prefix holding the synthetic
# messenger. Arguments go to the program (--prefix DIR, for one).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUORVEX_BUILD_DIR:-$root/build}
"$root/scripts/setup.sh" run
# Only the programs and the synthetic-messenger generator. A build folder made
# here leaves the tests and benchmarks out; scripts/test.sh turns them on.
configure=()
if [ ! -f "$build/CMakeCache.txt" ]; then
  configure=(-DQUORVEX_TESTS=OFF -DQUORVEX_BENCH=OFF)
fi
QUORVEX_TARGETS="quorvex quorvex-cli quorvex-fake-messenger" "$root/scripts/build.sh" "${configure[@]}"
QUORVEX_BUILD_DIR=$build exec "$root/scripts/start.sh" "$@"
