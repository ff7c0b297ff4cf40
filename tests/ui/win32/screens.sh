#!/usr/bin/env bash
# Screenshots of quorvex.exe's windows for a person to look at, drawn by Wine's
# X11 driver on Xvfb (display.sh). Not a test.
#
#   tests/ui/win32/screens.sh [WINDOWS_BUILD] [OUTPUT_FOLDER]
#
# WINDOWS_BUILD defaults to build-windows/, OUTPUT_FOLDER to
# WINDOWS_BUILD/screens. Writes help-window.png and edit-window.png, the help
# window and the HTML replacement file editor as they are drawn on the screen
# (Xvfb has no window manager, so no frame).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../../../build-windows}" && pwd)
output=${2:-$build/screens}
mkdir -p "$output"
state=$(mktemp -d "${TMPDIR:-/tmp}/quorvex-screens-XXXXXX")
trap 'bash "$here/display.sh" stop "$state/display"; rm -rf "$state"' EXIT

bash "$here/display.sh" start "$state/display"
eval "$(bash "$here/display.sh" env "$state/display")"

# Starts quorvex.exe with the arguments, waits for its window of that title
# and takes its picture into the file; the program is ended afterwards.
shoot() {
  local title=$1 file=$2 window= program
  shift 2
  bash "$here/display.sh" run "$state/display" "$build/app/quorvex.exe" "$@" </dev/null >/dev/null 2>&1 &
  program=$!
  # The window's X id once it is mapped, within ten seconds.
  for _ in $(seq 100); do
    window=$(xwininfo -root -tree 2>/dev/null | awk -v title="\"$title\"" 'index($0, title) && /[0-9]+x[0-9]+\+/ { print $1; exit }')
    [ -n "$window" ] && break
    sleep 0.1
  done
  if [ -z "$window" ]; then
    echo "screens.sh: the window \"$title\" did not appear" >&2
    exit 1
  fi
  sleep 1  # let it paint
  import -window "$window" "$output/$file"
  kill "$program" 2>/dev/null || true
  wait "$program" 2>/dev/null || true
  echo "$output/$file"
}

shoot " Help Document" help-window.png --window help
shoot " Edit HTML Replacement File" edit-window.png --window edit
