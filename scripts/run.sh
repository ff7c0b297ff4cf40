#!/usr/bin/env bash
# Installs what is missing, builds Quorvex and starts it on the Wine prefix
# ($WINEPREFIX, else ~/.wine). When no messenger is installed there, it makes
# a demo prefix holding the synthetic messenger and starts Quorvex on that.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUORVEX_BUILD_DIR:-$root/build}
"$root/scripts/setup.sh"
"$root/scripts/build.sh"

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
