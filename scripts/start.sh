#!/usr/bin/env bash
# Starts the built Quorvex (arguments go to it) on the messenger it finds by
# itself: quorvex-cli, which chooses by the same rule, says where that is and
# why. Only when it finds no messenger at all, it makes $build/demo-prefix
# holding the synthetic messenger and starts Quorvex on that, with that folder
# as the working folder (where the messenger backup is written).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUORVEX_BUILD_DIR:-$root/build}

# quorvex-cli takes the prefix option only of the program's arguments.
prefix=()
arguments=("$@")
for ((i = 0; i < ${#arguments[@]}; i++)); do
  if [ "${arguments[i]}" = --prefix ] && [ $((i + 1)) -lt ${#arguments[@]} ]; then
    prefix=(--prefix "${arguments[i + 1]}")
  fi
done

if ! status=$("$build/cli/quorvex-cli" status "${prefix[@]}" 2>&1); then
  echo "run: quorvex-cli cannot tell where the messenger is: $status" >&2
  exec "$build/app/quorvex" "$@"
fi
field() { sed -n "s/^$1: //p" <<<"$status"; }
if [ "$(field 'executable found')" = yes ]; then
  echo "run: starting Quorvex on the messenger in $(field prefix) ($(field 'prefix chosen'))"
  exec "$build/app/quorvex" "$@"
fi

demo=$build/demo-prefix
if [ ! -f "$demo/system.reg" ]; then
  rm -rf "$demo"
  "$build/tools/fakemessenger/quorvex-fake-messenger" "$demo" >/dev/null
fi
where="in $(field prefix)"
[ ${#prefix[@]} -gt 0 ] || where+=" nor in a Wine front-end's prefix"
echo "run: no messenger $where; starting Quorvex on the synthetic messenger in $demo"
# The messenger backup is written to the working folder: keep it in the demo.
cd "$demo"
exec "$build/app/quorvex" "$@" --prefix "$demo"
