#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it on the Wine prefix
# ($WINEPREFIX, else ~/.wine). When no messenger is installed there, it makes
# a demo prefix holding the synthetic messenger and starts Quorvex on that.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUORVEX_BUILD_DIR:-$root/build}
"$root/scripts/setup.sh" run
# Only the program and the synthetic-messenger generator. A build folder made
# here leaves the tests and benchmarks out; scripts/test.sh turns them on.
configure=()
if [ ! -f "$build/CMakeCache.txt" ]; then
  configure=(-DQUORVEX_TESTS=OFF -DQUORVEX_BENCH=OFF)
fi
QUORVEX_TARGETS="quorvex quorvex-fake-messenger" "$root/scripts/build.sh" "${configure[@]}"

prefix=${WINEPREFIX:-$HOME/.wine}
messenger=$(find "$prefix/drive_c" -maxdepth 4 -ipath '*/program files*/yahoo!/messenger/yahoomessenger.exe' \
  -print -quit 2>/dev/null || true)
if [ -z "$messenger" ]; then
  demo=$build/demo-prefix
  if [ ! -f "$demo/system.reg" ]; then
    rm -rf "$demo"
    "$build/tools/fakemessenger/quorvex-fake-messenger" "$demo" >/dev/null
  fi
  echo "run: no messenger in $prefix; starting Quorvex on the synthetic messenger in $demo"
  export WINEPREFIX=$demo
  # The messenger backup is written to the working folder: keep it in the demo.
  cd "$demo"
fi
exec "$build/app/quorvex"
