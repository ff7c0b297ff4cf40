#!/usr/bin/env bash
# Builds the Windows program and its tests (scripts/build-windows.sh) and runs
# them under Wine, in a throwaway Wine prefix that uses Wine's null graphics
# driver, so that windows can be made without a display. Wine's server and
# services are started before ctest, their output kept away from ctest's
# pipes, and ended afterwards. The end-to-end test uses the synthetic
# messenger and quorvex-cli of the Linux build ($QUORVEX_BUILD_DIR, else build/);
# the HTTP peer tests use the nginx and tinyproxy that the Linux script
# tests/http/peers/peers.sh starts for them (ctest fixture http_peers). The
# window tests (label display) use Xvfb and a prefix of their own with Wine's
# X11 driver (tests/ui/win32/display.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
linux_build=${QUORVEX_BUILD_DIR:-$root/build}
windows_build=${QUORVEX_WINDOWS_BUILD_DIR:-$root/build-windows}
export WINEDEBUG=-all
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/quorvex-wine-XXXXXX")
export WINEPREFIX
. "$root/scripts/wine-prefix.sh"
trap 'remove_wine_prefix "$WINEPREFIX"' EXIT

# The graphics driver is read when Wine's services start: set it, then restart.
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
wineserver -w

"$root/scripts/build-windows.sh" -DQUORVEX_LINUX_BUILD_DIR="$linux_build"
wineserver -w  # the server the build's packer started

wineserver -p >/dev/null 2>&1
wine cmd /c exit >/dev/null 2>&1
cd "$windows_build"
ctest --output-on-failure --timeout 600
