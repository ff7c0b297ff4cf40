#!/usr/bin/env bash
# Screenshots of quorvex.exe's windows for a person to look at, drawn by Wine's
# X11 driver on Xvfb (display.sh). Not a test.
#
#   tests/ui/win32/screens.sh [WINDOWS_BUILD] [OUTPUT_FOLDER]
#
# WINDOWS_BUILD defaults to build-windows/, OUTPUT_FOLDER to
# WINDOWS_BUILD/screens. Writes help-window.png, the help window as it is
# drawn on the screen (Xvfb has no window manager, so no frame).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../../../build-windows}" && pwd)
output=${2:-$build/screens}
mkdir -p "$output"
state=$(mktemp -d "${TMPDIR:-/tmp}/quorvex-screens-XXXXXX")
trap 'bash "$here/display.sh" stop "$state/display"; rm -rf "$state"' EXIT

bash "$here/display.sh" start "$state/display"
eval "$(bash "$here/display.sh" env "$state/display")"
bash "$here/display.sh" run "$state/display" "$build/app/quorvex.exe" --window help </dev/null >/dev/null 2>&1 &

# The window's X id once it is mapped, within ten seconds.
window=
for _ in $(seq 100); do
  window=$(xwininfo -root -tree 2>/dev/null | awk '/" Help Document"/ && /[0-9]+x[0-9]+\+/ { print $1; exit }')
  [ -n "$window" ] && break
  sleep 0.1
done
if [ -z "$window" ]; then
  echo "screens.sh: the help window did not appear" >&2
  exit 1
fi
sleep 1  # let it paint
import -window "$window" "$output/help-window.png"
echo "$output/help-window.png"
