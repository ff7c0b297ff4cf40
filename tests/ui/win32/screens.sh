#!/usr/bin/env bash
# Screenshots of quorvex.exe's windows for a person to look at, drawn by Wine's
# X11 driver on Xvfb (display.sh). Not a test.
#
#   tests/ui/win32/screens.sh [WINDOWS_BUILD] [OUTPUT_FOLDER]
#
# WINDOWS_BUILD defaults to build-windows/, OUTPUT_FOLDER to
# WINDOWS_BUILD/screens. Writes help-window.png and edit-window.png, the help
# window and the HTML replacement file editor as they are drawn on the screen (Xvfb has no window manager, so no frame), and the
# update windows against the test update site (nginx on 127.0.0.1,
# tests/http/peers/peers.sh): update-notify-window.png with a readme, and
# update-download-window.png during the slow download of that site.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../../../build-windows}" && pwd)
output=${2:-$build/screens}
mkdir -p "$output"
state=$(mktemp -d "${TMPDIR:-/tmp}/quorvex-screens-XXXXXX")
trap 'bash "$here/../../http/peers/peers.sh" stop "$state/peers" >/dev/null 2>&1 || true
      bash "$here/display.sh" stop "$state/display"; rm -rf "$state"' EXIT

bash "$here/display.sh" start "$state/display"
eval "$(bash "$here/display.sh" env "$state/display")"

# The X id of the window of that title once it is mapped, within ten seconds.
window_of() {
  local title=$1 window=
  for _ in $(seq 100); do
    window=$(xwininfo -root -tree 2>/dev/null | awk -v title="\"$title\"" 'index($0, title) && /[0-9]+x[0-9]+\+/ { print $1; exit }')
    [ -n "$window" ] && break
    sleep 0.1
  done
  if [ -z "$window" ]; then
    echo "screens.sh: the window \"$title\" did not appear" >&2
    exit 1
  fi
  echo "$window"
}

shoot() {  # WINDOW FILE
  sleep 1  # let it paint
  import -window "$1" "$output/$2"
  echo "$output/$2"
}

# Starts quorvex.exe with the arguments, in the background.
start_quorvex() {
  bash "$here/display.sh" run "$state/display" "$build/app/quorvex.exe" "$@" </dev/null >/dev/null 2>&1 &
}

start_quorvex --window help
shoot "$(window_of " Help Document")" help-window.png
start_quorvex --window edit
shoot "$(window_of " Edit HTML Replacement File")" edit-window.png

# The update windows: the notification with a readme, then the download
# window while the site's slow installer (160 KB in two seconds) arrives.
bash "$here/../../http/peers/peers.sh" start "$state/peers" 1 "$here/../../update/peers/site.conf" >/dev/null
site=http://127.0.0.1:$(cat "$state/peers/nginx/port")
printf 'Quorvex 99.0\r\n\r\n- A new thing\r\n- Another new thing, with a longer line to show how the readme looks\r\n' \
  >"$state/peers/nginx/root/readme.txt"
printf '[update_check_probe]\r\nVersion=99.0\r\nReadmeFileURL=%s/readme.txt\r\nDownloadFileURL=%s/slow.exe\r\n' \
  "$site" "$site" >"$state/peers/nginx/root/QuorvexUpdate.txt"
bash "$here/display.sh" run "$state/display" "$build/tests/ui/win32/update_check_probe.exe" \
  "$site/QuorvexUpdate.txt" "" </dev/null >/dev/null 2>&1 &
notify=$(window_of "New Version Available")
shoot "$notify" update-notify-window.png
xdotool mousemove --window "$notify" 206 290 click 1  # the Download button's middle
shoot "$(window_of "Download New Version")" update-download-window.png
