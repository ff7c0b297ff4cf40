#!/usr/bin/env bash
# A real display for the Windows windows: Xvfb and a Wine prefix of its own
# using Wine's X11 driver, beside the null-driver prefix of the rest of the
# Windows tests. Its state (display number, Xvfb's process id, prefix) lives
# in a state folder.
#
#   display.sh start STATE [DPI]    start Xvfb, make the prefix (at DPI dots per
#                                   inch, default 96), start its server
#   display.sh run STATE EXE ARG... run EXE under Wine there; an ARG naming an
#                                   existing file is passed as a Windows path
#   display.sh env STATE            print the DISPLAY and WINEPREFIX to export
#   display.sh stop STATE           end the prefix's Wine processes, remove it,
#                                   end Xvfb
#
# Everything started here keeps away from the caller's output (ctest waits for
# a test's output to close, and Wine's server would hold it open).
set -euo pipefail
command=${1:?usage: display.sh start|run|env|stop STATE ...}
state=${2:?usage: display.sh start|run|env|stop STATE ...}
shift 2
. "$(dirname "$0")/../../../scripts/wine-prefix.sh"

use_state() {
  DISPLAY=:$(cat "$state/display")
  WINEPREFIX=$(cat "$state/prefix")
  WINEDEBUG=-all
  export DISPLAY WINEPREFIX WINEDEBUG
}

start() {
  local dpi=${1:-96}
  rm -rf "$state"
  mkdir -p "$state"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$state/display" </dev/null >"$state/xvfb.log" 2>&1 &
  echo $! >"$state/xvfb.pid"
  for _ in $(seq 100); do
    [ -s "$state/display" ] && break
    sleep 0.1
  done
  if ! [ -s "$state/display" ]; then
    echo "display.sh: Xvfb did not start:" >&2
    cat "$state/xvfb.log" >&2
    exit 1
  fi
  sed -i 's/[^0-9]//g' "$state/display"
  mktemp -d "${TMPDIR:-/tmp}/quorvex-wine-display-XXXXXX" >"$state/prefix"
  use_state
  # The driver and the DPI are read when Wine's services start: set them, wait
  # for the services to end.
  wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d x11 /f </dev/null >"$state/wine.log" 2>&1
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f </dev/null >>"$state/wine.log" 2>&1
  wineserver -w
  wineserver -p </dev/null >>"$state/wine.log" 2>&1
  wine cmd /c exit </dev/null >>"$state/wine.log" 2>&1
}

run() {
  use_state
  local exe=$1
  shift
  local arguments=()
  for argument in "$@"; do
    if [ -e "$argument" ]; then
      arguments+=("$(winepath -w "$argument" 2>/dev/null)")
    else
      arguments+=("$argument")
    fi
  done
  exec wine "$exe" "${arguments[@]}"
}

stop() {
  if [ -f "$state/prefix" ]; then
    remove_wine_prefix "$(cat "$state/prefix")"
  fi
  if [ -f "$state/xvfb.pid" ]; then
    kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true
  fi
  rm -rf "$state"
}

case $command in
  start) start "$@" ;;
  run) run "$@" ;;
  env) use_state; echo "export DISPLAY=$DISPLAY WINEPREFIX=$WINEPREFIX" ;;
  stop) stop ;;
  *) echo "display.sh: unknown command $command" >&2; exit 2 ;;
esac
