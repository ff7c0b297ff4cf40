#!/usr/bin/env bash
# The Windows installer in a fresh Wine prefix of its own: a silent install
# for the current user puts both programs, the uninstaller, the Start-menu
# shortcut (working folder: the user's data folder) and the installed-programs
# entry in place; the next version's installer replaces it in place; the
# uninstaller removes every installed file and entry and leaves the data
# folder's backup alone. Then for all users (Wine's user is an administrator):
# the programs under Program Files, the shortcut in the common Start menu
# naming the working folder by the variable, the installing user's data folder
# made, and the shortcut, started as the shell starts it, runs quorvex.exe in
# that data folder; its uninstaller leaves the data folder's backup too.
#
#   installer_test.sh INSTALLER RELEASE_DIR NSI VERSION SHORTCUT_INFO_EXE ICON SHORTCUT_START_EXE
set -euo pipefail
installer=$(realpath "$1") release=$(realpath "$2") nsi=$(realpath "$3") version=$4
shortcut_info=$(realpath "$5") icon=$(realpath "$6") shortcut_start=$(realpath "$7")
export WINEDEBUG=-all
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/quorvex-installer-XXXXXX")
export WINEPREFIX
work=$(mktemp -d)
. "$(dirname "$0")/../../../scripts/wine-prefix.sh"
cleanup() {
  remove_wine_prefix "$WINEPREFIX"
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
windows_path() { wine cmd /c echo "%$1%" 2>/dev/null | tr -d '\r'; }
local_data=$(windows_path LOCALAPPDATA)
programs="$local_data\\Programs\\Quorvex"
data="$local_data\\Quorvex"
native_programs=$(winepath -u "$programs" 2>/dev/null)
native_data=$(winepath -u "$data" 2>/dev/null)
shortcut=$(winepath -u "$(windows_path APPDATA)\\Microsoft\\Windows\\Start Menu\\Programs\\Quorvex.lnk" 2>/dev/null)
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvex'
value() { wine reg query "$key" /v "$1" 2>/dev/null | tr -d '\r' | awk -v name="$1" '$1 == name { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'; }

# Version N, silently, for the current user.
wine "$installer" /S /CurrentUser || fail "the installer's exit status was $?"
for program in quorvex.exe quorvex-cli.exe; do
  cmp -s "$release/$program" "$native_programs/$program" || fail "$program is not in $programs as released"
done
[ -f "$native_programs/uninstall.exe" ] || fail "no uninstaller in $programs"
[ -d "$native_data" ] || fail "no data folder $data"
printf '%s\n' "target: $programs\\quorvex.exe" "working folder: $data" "icon: $programs\\quorvex.exe,0" >"$work/expected"
wine "$shortcut_info" "$(winepath -w "$shortcut")" 2>/dev/null | tr -d '\r' >"$work/shortcut" || true
cmp -s "$work/expected" "$work/shortcut" || fail "the Start-menu shortcut holds: $(cat "$work/shortcut")"
[ "$(value DisplayName)" = Quorvex ] || fail "DisplayName: $(value DisplayName)"
[ "$(value DisplayVersion)" = "$version" ] || fail "DisplayVersion: $(value DisplayVersion)"
[ "$(value Publisher)" = "The Quorvex Developers" ] || fail "Publisher: $(value Publisher)"
[ "$(value DisplayIcon)" = "$programs\\quorvex.exe,0" ] || fail "DisplayIcon: $(value DisplayIcon)"
[ "$(value InstallLocation)" = "$programs" ] || fail "InstallLocation: $(value InstallLocation)"
[ "$(value UninstallString)" = "\"$programs\\uninstall.exe\"" ] || fail "UninstallString: $(value UninstallString)"
size_kib=$(( $(value EstimatedSize) ))
actual_kib=$(( $(du -sk --apparent-size "$native_programs" | cut -f1) ))
[ "$size_kib" -gt 0 ] && [ $((size_kib - actual_kib)) -le 8 ] && [ $((actual_kib - size_kib)) -le 8 ] ||
  fail "EstimatedSize is $size_kib KiB for $actual_kib KiB installed"
wine "$native_programs/quorvex-cli.exe" --version >"$work/cli-version" 2>&1 || fail "the installed quorvex-cli.exe did not start"

# Version N+1 over it: the same place, one entry, the new version.
next=$(echo "$version" | awk -F. '{ printf "%d.%d.%d.%d", $1, $2, $3, $4 + 1 }')
makensis -V1 -DVERSION="$next" -DOUTFILE="$work/QuorvexSetup-$next.exe" -DQUORVEX_EXE="$release/quorvex.exe" \
  -DCLI_EXE="$release/quorvex-cli.exe" -DICON="$icon" "-DPUBLISHER=The Quorvex Developers" -DSIGN= "$nsi"
wine "$work/QuorvexSetup-$next.exe" /S || fail "the next version's installer's exit status was $?"
[ "$(value DisplayVersion)" = "$next" ] || fail "after the update DisplayVersion is $(value DisplayVersion)"
[ "$(value InstallLocation)" = "$programs" ] || fail "the update moved to $(value InstallLocation)"
wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvex' >/dev/null 2>&1 &&
  fail "the update made a second entry for all users"

# The uninstaller (it runs on from a copy of itself): every installed file and
# the entry go, the user's backup stays.
echo "a backup" >"$native_data/YahooMessenger.bak"
wine "$native_programs/uninstall.exe" /S || fail "the uninstaller's exit status was $?"
for _ in $(seq 1 60); do
  [ -e "$native_programs" ] || [ -e "$shortcut" ] || break
  sleep 1
done
[ ! -e "$native_programs" ] || fail "left behind: $(ls -A "$native_programs")"
[ ! -e "$shortcut" ] || fail "the Start-menu shortcut is left"
wine reg query "$key" >/dev/null 2>&1 && fail "the installed-programs entry is left"
[ "$(cat "$native_data/YahooMessenger.bak" 2>/dev/null)" = "a backup" ] || fail "the backup in the data folder is gone"

# For all users, with no data folder yet.
rm -rf "$native_data"
all_programs="$(windows_path ProgramFiles)\\Quorvex"
native_all_programs=$(winepath -u "$all_programs" 2>/dev/null)
all_shortcut=$(winepath -u "$(windows_path ProgramData)\\Microsoft\\Windows\\Start Menu\\Programs\\Quorvex.lnk" 2>/dev/null)
all_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvex'
wine "$installer" /AllUsers /S || fail "the all-users installer's exit status was $?"
cmp -s "$release/quorvex.exe" "$native_all_programs/quorvex.exe" || fail "quorvex.exe is not in $all_programs as released"
wine reg query "$all_key" /v InstallLocation >/dev/null 2>&1 || fail "no installed-programs entry for all users"
[ -d "$native_data" ] || fail "the all-users install made no data folder $data for the installing user"
printf '%s\n' "target: $all_programs\\quorvex.exe" "working folder: %LOCALAPPDATA%\\Quorvex" \
  "icon: $all_programs\\quorvex.exe,0" >"$work/expected"
wine "$shortcut_info" "$(winepath -w "$all_shortcut")" 2>/dev/null | tr -d '\r' >"$work/shortcut" || true
cmp -s "$work/expected" "$work/shortcut" || fail "the all-users Start-menu shortcut holds: $(cat "$work/shortcut")"

# The shortcut started as the shell starts it: quorvex.exe of this prefix
# (it runs as the program, its windows drawn nowhere by the null graphics
# driver, until it is ended) runs in the data folder.
# Wine keeps a process's Linux working folder at its Windows one.
wine "$shortcut_start" "$(winepath -w "$all_shortcut")" || fail "the shortcut did not start: $?"
started=
for _ in $(seq 1 60); do
  for pid in $(pgrep -u "$(id -u)" -f 'Quorvex.quorvex\.exe' || true); do
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && started=$pid
  done
  [ -n "$started" ] && break
  sleep 0.5
done
if [ -z "$started" ]; then
  fail "no quorvex.exe of this prefix runs after the shortcut was started"
else
  working=$(readlink "/proc/$started/cwd" || true)
  [ "$working" = "$(realpath "$native_data")" ] || fail "quorvex.exe started from the shortcut works in $working, not $native_data"
  kill -KILL "$started" 2>/dev/null || true
fi

echo "a backup" >"$native_data/YahooMessenger.bak"
wine "$native_all_programs/uninstall.exe" /S || fail "the all-users uninstaller's exit status was $?"
for _ in $(seq 1 60); do
  [ -e "$native_all_programs" ] || [ -e "$all_shortcut" ] || break
  sleep 1
done
[ ! -e "$native_all_programs" ] || fail "left behind for all users: $(ls -A "$native_all_programs")"
[ ! -e "$all_shortcut" ] || fail "the all-users Start-menu shortcut is left"
wine reg query "$all_key" >/dev/null 2>&1 && fail "the all-users installed-programs entry is left"
[ "$(cat "$native_data/YahooMessenger.bak" 2>/dev/null)" = "a backup" ] ||
  fail "the backup in the data folder is gone after the all-users uninstall"

[ "$failures" = 0 ] || exit 1
echo "installer: installed, updated in place and uninstalled, for the user and for all users, the backup kept"
