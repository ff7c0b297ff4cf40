#!/usr/bin/env bash
# quorvex-cli.exe's output as a Windows user sees it, on the Wine prefix
# $WINEPREFIX: in Wine's console (a pseudo-terminal) a folder name outside
# ASCII shows as Wine's own cmd shows it when echoed; redirected to a file the
# same text is UTF-8 bytes; and a folder given to cmd as "C:\Folder\" (the
# backslash escaping the closing quote) is taken without the stray quote.
#
#   cli_console.sh QUORVEX_CLI_EXE
set -euo pipefail
exe=$(realpath "$1")
: "${WINEPREFIX:?a Wine prefix is needed}"
export WINEDEBUG=-all LC_ALL=C.UTF-8
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

name='Messenger Ünï 信使'
expected="folder: C:\\$name"

# What the console shows: Wine's console draws through cursor moves, so the
# escape sequences are played back (a move right is that many blanks).
shown() {
  printf '%s\n' "$@" >"$work/command.sh"
  timeout 120 script -qec "bash $work/command.sh" /dev/null </dev/null |
    perl -pe 's/\e\[(\d*)C/" " x ($1 || 1)/ge; s/\e\[[0-9;?]*[A-Za-z]//g; s/\r//g' | grep -m1 '^folder:' || true
}
quoted_exe=$(printf '%q' "$exe")
quoted_folder=$(printf '%q' "C:\\$name")
cli_line=$(shown "wine $quoted_exe status --folder $quoted_folder")
# One word each, so that Wine hands cmd no quotes.
echo_line=$(shown "wine cmd /c echo folder: 'C:\\Messenger' 'Ünï' '信使'")
[ "$echo_line" = "$expected" ] || fail "Wine's cmd echoed \"$echo_line\", not \"$expected\""
[ "$cli_line" = "$echo_line" ] || fail "the console showed \"$cli_line\" where cmd shows \"$echo_line\""

# Redirected: the text as UTF-8 bytes.
wine "$exe" status --folder "C:\\$name" >"$work/redirected.out" 2>"$work/redirected.err" || true
[ "$(head -n 1 "$work/redirected.out" | tr -d '\r')" = "$expected" ] ||
  fail "redirected output began \"$(head -n 1 "$work/redirected.out")\", not \"$expected\""

# cmd's quoting of a folder that ends in a backslash.
batch="$WINEPREFIX/drive_c/quorvex-trailing-quote-$$.bat"
trap 'rm -rf "$work" "$batch"' EXIT
printf '@"%s" status --folder "C:\\Some Folder\\"\r\n' "$(winepath -w "$exe")" >"$batch"
trailing=$(wine cmd /c "C:\\$(basename "$batch")" </dev/null 2>&1 | tr -d '\r' | head -n 1)
[ "$trailing" = 'folder: C:\Some Folder' ] || fail "cmd's \"C:\\Some Folder\\\" became \"$trailing\""

[ "$failures" = 0 ] || exit 1
echo "quorvex-cli.exe: the console shows names as typed, redirected output is UTF-8, cmd's trailing \\\" is dropped"
