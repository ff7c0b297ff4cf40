#!/usr/bin/env bash
# Screenshots of quorvex.exe's windows for a person to look at, drawn by Wine's
# X11 driver on Xvfb (display.sh), to set beside the Linux program's
# (tests/ui/screens). Not a test.
#
#   tests/ui/win32/screens.sh [WINDOWS_BUILD] [OUTPUT_FOLDER] [LINUX_BUILD]
#
# WINDOWS_BUILD defaults to build-windows/, OUTPUT_FOLDER to
# WINDOWS_BUILD/screens, LINUX_BUILD (whose synthetic messenger tool installs
# a messenger 10.0.0.1270 into the display's prefix) to build/. Writes, each
# as it is drawn on the screen (Xvfb has no window manager, so no frame):
# help-window.png and edit-window.png (the help window and the HTML
# replacement file editor alone), update-notify-window.png and
# update-download-window.png (the update windows against the test update
# site, nginx on 127.0.0.1: the notification with a readme, the download
# during the site's slow installer), tab-1.png to tab-8.png (the main
# window's tabs, chosen with Ctrl+PageDown) and status-window.png (after
# Check All and Apply Options on the Adverts tab).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../../../build-windows}" && pwd)
output=${2:-$build/screens}
linux_build=$(cd "${3:-$here/../../../build}" && pwd)
mkdir -p "$output"
state=$(mktemp -d "${TMPDIR:-/tmp}/quorvex-screens-XXXXXX")
trap 'bash "$here/../../http/peers/peers.sh" stop "$state/peers" >/dev/null 2>&1 || true
      bash "$here/display.sh" stop "$state/display"; rm -rf "$state"' EXIT

bash "$here/display.sh" start "$state/display"
eval "$(bash "$here/display.sh" env "$state/display")"

# The X id of the window of that title once it is shown, within ten seconds.
window_titled() {
  local title=$1 window= candidate
  for _ in $(seq 100); do
    for candidate in $(xwininfo -root -tree 2>/dev/null |
      awk -v title="\"$title\":" 'index($0, title) && /[0-9]+x[0-9]+\+/ { print $1 }'); do
      if xwininfo -id "$candidate" 2>/dev/null | grep -q 'Map State: IsViewable'; then
        window=$candidate
        break
      fi
    done
    [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || { echo "screens.sh: the window \"$title\" did not appear" >&2; return 1; }
  echo "$window"
}

# Takes the window's picture into the file, once it has painted.
shoot() {  # WINDOW FILE
  sleep 1
  import -window "$1" "$output/$2"
  echo "$output/$2"
}

# Runs quorvex.exe (or another program) in the background.
start() {
  bash "$here/display.sh" run "$state/display" "$@" </dev/null >/dev/null 2>&1 &
}

# Ends every program of the display's prefix.
end_all() {
  wineserver -k 2>/dev/null || true
  wineserver -w
}

start "$build/app/quorvex.exe" --window help
shoot "$(window_titled " Help Document")" help-window.png
start "$build/app/quorvex.exe" --window edit
shoot "$(window_titled " Edit HTML Replacement File")" edit-window.png
end_all

# The update windows: the notification with a readme, then the download
# window while the site's slow installer (160 KB in two seconds) arrives.
bash "$here/../../http/peers/peers.sh" start "$state/peers" 1 "$here/../../update/peers/site.conf" >/dev/null
site=http://127.0.0.1:$(cat "$state/peers/nginx/port")
printf 'Quorvex 99.0\r\n\r\n- A new thing\r\n- Another new thing, with a longer line to show how the readme looks\r\n' \
  >"$state/peers/nginx/root/readme.txt"
printf '[update_check_probe]\r\nVersion=99.0\r\nReadmeFileURL=%s/readme.txt\r\nDownloadFileURL=%s/slow.exe\r\n' \
  "$site" "$site" >"$state/peers/nginx/root/QuorvexUpdate.txt"
start "$build/tests/ui/win32/update_check_probe.exe" "$site/QuorvexUpdate.txt" ""
notify=$(window_titled "New Version Available")
shoot "$notify" update-notify-window.png
xdotool mousemove --window "$notify" 206 290 click 1  # the Download button's middle
shoot "$(window_titled "Download New Version")" update-download-window.png
end_all

# A synthetic messenger 10.0.0.1270, as its setup installs it.
"$linux_build/tools/fakemessenger/quorvex-fake-messenger" "$state/messenger" --version 10.0.0.1270 >/dev/null
mkdir -p "$WINEPREFIX/drive_c/Program Files/Yahoo!"
cp -R "$state/messenger/drive_c/Program Files/Yahoo!/Messenger" "$WINEPREFIX/drive_c/Program Files/Yahoo!/"
reg() { wine reg "$@" </dev/null >/dev/null 2>&1; }
reg add 'HKLM\Software\yahoo\pager' /v ProductVersion /d 10.0.0.1270 /f /reg:32
reg add 'HKCU\Software\yahoo\pager' /v "Launch on Startup" /t REG_DWORD /d 1 /f
reg add 'HKCU\Software\yahoo\pager' /v SmileySearch /t REG_DWORD /d 1 /f
reg add 'HKCU\Software\yahoo\pager\Test' /f
reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /v "Yahoo! Pager" \
  /d '"C:\Program Files\Yahoo!\Messenger\YahooMessenger.exe" -quiet' /f

mkdir -p "$state/work"
(cd "$state/work" && exec bash "$here/display.sh" run "$state/display" "$build/app/quorvex.exe") </dev/null >/dev/null 2>&1 &
window=$(window_titled Quorvex)
sleep 1
for tab in 1 2 3 4 5 6 7 8; do
  import -window "$window" "$output/tab-$tab.png"
  echo "$output/tab-$tab.png"
  xdotool key ctrl+Next
  sleep 0.5
done
# Back on the Adverts tab: Check All, then Apply Options.
xdotool key alt+c
sleep 0.3
xdotool key alt+p
window=$(window_titled Status)
sleep 2  # let the apply end
import -window "$window" "$output/status-window.png"
echo "$output/status-window.png"
wineserver -k 2>/dev/null || true
