#!/usr/bin/env bash
# quorvex-cli.exe on the Wine prefix $WINEPREFIX, into which a synthetic
# messenger is installed: first under the 32-bit programs' folder of a 64-bit
# system, "C:\Program Files (x86)\Yahoo!\Messenger", where status finds it
# with no folder given; then under a folder name outside the ANSI code page:
# "adverts all", "ui all" and "clean all", each compared with the Linux
# quorvex-cli's run on a copy of the same messenger (status lines, exit status,
# every file byte for byte), the registry read back with Wine's own reg, and
# the clean checked to give back the original bytes.
#
#   cli_end_to_end.sh QUORVEX_CLI_EXE FAKE_MESSENGER LINUX_QUORVEX_CLI
set -euo pipefail
exe=$(realpath "$1") fake=$(realpath "$2") linux_cli=$(realpath "$3")
: "${WINEPREFIX:?a Wine prefix is needed}"
export WINEDEBUG=-all
for program in "$fake" "$linux_cli"; do
  [ -x "$program" ] || { echo "missing $program: build the Linux tree first (scripts/build.sh)" >&2; exit 1; }
done

work=$(mktemp -d)
folder_name="Messenger Ünï 信使 $$"
native="$WINEPREFIX/drive_c/Program Files (x86)/Yahoo!/$folder_name"
x86_default="$WINEPREFIX/drive_c/Program Files (x86)/Yahoo!/Messenger"
cleanup() {
  chattr -i "$work/locked" 2>/dev/null || true
  rm -rf "$work" "$native" "$x86_default"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# The same messenger twice: the Linux program's prefix and the stock copy.
"$fake" "$work/linux" --version 10.0.0.1270 >/dev/null
"$fake" "$work/stock" --version 10.0.0.1270 >/dev/null
stock="$work/stock/drive_c/Program Files/Yahoo!/Messenger"
linux="$work/linux/drive_c/Program Files/Yahoo!/Messenger"
mkdir -p "$native" "$work/run-windows" "$work/run-linux"
rm -f "$WINEPREFIX/drive_c/BlankQuorvex.html"  # left by an earlier run that failed midway
cp -R "$stock/." "$native/"

# The registry values the synthetic messenger's prefix holds, through Wine's reg.
reg() { wine reg "$@" >/dev/null 2>&1; }
pager='HKCU\Software\yahoo\pager'
run='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
reg add 'HKLM\Software\yahoo\pager' /v ProductVersion /d 10.0.0.1270 /f /reg:32
reg add "$pager" /v "Launch on Startup" /t REG_DWORD /d 1 /f
reg add "$pager" /v SmileySearch /t REG_DWORD /d 1 /f
reg add "$pager\\Test" /f
reg delete "$pager\\Test" /v Plural /f || true
reg add "$run" /v "Yahoo! Pager" /d '"C:\Program Files\Yahoo!\Messenger\YahooMessenger.exe" -quiet' /f
reg add "$run" /v "Messenger (Yahoo!)" /d '"C:\Program Files\Yahoo!\Messenger\YahooMessenger.exe" -quiet' /f

# The default folder: under Program Files (x86) where only that holds the
# messenger, as a 32-bit messenger is installed on a 64-bit system.
if [ -e "$WINEPREFIX/drive_c/Program Files/Yahoo!/Messenger" ]; then
  fail "the test prefix already holds a messenger under Program Files"
fi
mkdir -p "$x86_default"
cp -R "$stock/." "$x86_default/"
x86_rc=0
(cd "$work/run-windows" && wine "$exe" status) >"$work/x86.out" 2>"$work/x86.err" || x86_rc=$?
[ "$x86_rc" = 0 ] || fail "status on the (x86) folder: exit status $x86_rc: $(cat "$work/x86.err")"
tr -d '\r' <"$work/x86.out" | head -n 4 >"$work/x86.lines"
printf '%s\n' 'folder: C:\Program Files (x86)\Yahoo!\Messenger' 'executable found: yes' 'version: 10.0.0.1270' \
  'major version: 10' | cmp -s - "$work/x86.lines" || fail "status on the (x86) folder printed: $(cat "$work/x86.lines")"
rm -rf "$x86_default"

# Runs one command with both programs; their output and exit status must agree.
windows_folder="C:\\Program Files (x86)\\Yahoo!\\$folder_name"
both() {
  local name=$1
  shift
  local windows_rc=0 linux_rc=0
  (cd "$work/run-windows" && wine "$exe" "$1" --folder "$windows_folder" "${@:2}") \
    >"$work/$name.windows.out" 2>"$work/$name.windows.err" || windows_rc=$?
  (cd "$work/run-linux" && "$linux_cli" "$1" --prefix "$work/linux" "${@:2}") \
    >"$work/$name.linux.out" 2>"$work/$name.linux.err" || linux_rc=$?
  tr -d '\r' <"$work/$name.windows.out" >"$work/$name.windows.lines"
  [ "$windows_rc" = 0 ] || fail "$name: exit status $windows_rc: $(cat "$work/$name.windows.err")"
  [ "$linux_rc" = 0 ] || fail "$name: the Linux program's exit status $linux_rc: $(cat "$work/$name.linux.err")"
  [ -s "$work/$name.linux.out" ] || fail "$name: the Linux program printed no status line"
  cmp -s "$work/$name.windows.lines" "$work/$name.linux.out" ||
    fail "$name: status lines differ: $(diff "$work/$name.linux.out" "$work/$name.windows.lines" || true)"
}

same() { cmp -s "$1" "$2" || fail "$3: $1 and $2 differ"; }
differ() { ! cmp -s "$1" "$2" || fail "$3: $1 is unchanged"; }
files="YahooMessenger.exe skins/Default/IMWindow/IMWindow.xml skins/Default/FriendList/FriendList.xml
skins/Default/ContactCard/ContactCard.xml"

# The registry value's data as Wine's reg shows it; empty when it is missing.
value() { { wine reg query "$1" /v "$2" 2>/dev/null || true; } | tr -d '\r' | awk -v name="$2" '
  index($0, "    " name "    ") == 1 { sub(".*    REG_[A-Z_]+    ", ""); print }'; }
expect_value() {
  local got
  got=$(value "$1" "$2")
  [ "$got" = "$3" ] || fail "$1\\$2 is '$got', expected '${3:-(missing)}'"
}

# A working folder that may not be written, as Program Files is to a user
# without elevation (here an immutable folder: root may write anywhere else):
# the backup cannot be made, the run ends with exit status 3 and its message
# says to use an administrator prompt; the executable is untouched.
mkdir "$work/locked"
if chattr +i "$work/locked" 2>/dev/null; then
  locked_rc=0
  (cd "$work/locked" && wine "$exe" adverts --folder "$windows_folder" banner) \
    >"$work/locked.out" 2>"$work/locked.err" || locked_rc=$?
  [ "$locked_rc" = 3 ] || fail "locked folder: exit status $locked_rc, expected 3"
  grep -q '^Cannot create file "Z:.*\\locked\\YahooMessenger\.bak"\. .* Run Quorvex from an administrator prompt\.' \
    "$work/locked.err" || fail "locked folder: the message is $(cat "$work/locked.err")"
  same "$native/YahooMessenger.exe" "$stock/YahooMessenger.exe" "locked folder: the executable"
else
  echo "skipped the locked folder: chattr cannot make a folder immutable here" >&2
fi

both adverts adverts all
same "$native/YahooMessenger.exe" "$linux/YahooMessenger.exe" "adverts: the patched executable"
differ "$native/YahooMessenger.exe" "$stock/YahooMessenger.exe" "adverts: the executable"
same "$work/run-windows/YahooMessenger.bak" "$stock/YahooMessenger.exe" "adverts: the backup in the working folder"
same "$native/skins/Default/IMWindow/IMWindow.xml" "$linux/skins/Default/IMWindow/IMWindow.xml" "adverts: the message-window skin"
same "$WINEPREFIX/drive_c/BlankQuorvex.html" "$work/linux/drive_c/BlankQuorvex.html" "adverts: the HTML replacement file"
expect_value "$pager" "Launch on Startup" 0x0
expect_value "$run" "Yahoo! Pager" ""
expect_value "$run" "Messenger (Yahoo!)" ""
expect_value "$pager" SmileySearch ""
expect_value "$pager\\Test" Plural 0x1

both ui ui all
for file in $files; do
  same "$native/$file" "$linux/$file" "ui: $file"
done
differ "$native/skins/Default/FriendList/FriendList.xml" "$stock/skins/Default/FriendList/FriendList.xml" "ui: the contact list skin"

both clean clean all
for file in $files; do
  same "$native/$file" "$linux/$file" "clean: $file"
done
same "$native/YahooMessenger.exe" "$stock/YahooMessenger.exe" "clean: the executable"
[ ! -e "$WINEPREFIX/drive_c/BlankQuorvex.html" ] || fail "clean: the HTML replacement file is still there"
[ ! -e "$work/run-windows/YahooMessenger.bak" ] || fail "clean: the backup is still there"

if [ "$failures" -gt 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "quorvex-cli.exe: adverts, ui and clean agree with the Linux program and Wine's registry"
