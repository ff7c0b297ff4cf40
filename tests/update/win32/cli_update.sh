#!/usr/bin/env bash
# quorvex-cli.exe update under Wine against the update site that nginx serves
# on 127.0.0.1 (the ctest fixture update_peers_windows): a newer version with
# its addresses (exit 0), no newer version (1), a missing information file and
# one above its size limit (3, with the reason), and a usage error (2). The
# check's temporary files go to the user's private folder under the local
# application data, and none is left there.
#
#   cli_update.sh QUORVEX_CLI_EXE PEER_DIR
set -euo pipefail
exe=$(realpath "$1") peers=$2
: "${WINEPREFIX:?a Wine prefix is needed}"
export WINEDEBUG=-all
port=$(cat "$peers/nginx/port")
site_folder=cli-update-$$
root="$peers/nginx/root/$site_folder"
site="http://127.0.0.1:$port/$site_folder"
mkdir -p "$root"
trap 'rm -rf "$root"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# Runs the check of the information file named; sets status, out and err.
check() {
  local err_file
  err_file=$(mktemp)
  status=0
  out=$(timeout 120 wine "$exe" update --url "$site/$1" 2>"$err_file" | tr -d '\r') || status=$?
  err=$(tr -d '\r' <"$err_file")
  rm -f "$err_file"
}

expect() {  # NAME EXPECTED_STATUS EXPECTED_OUT EXPECTED_ERR
  [ "$status" = "$2" ] || fail "$1: exit status $status, expected $2 ($err)"
  [ "$out" = "$3" ] || fail "$1: printed \"$out\", expected \"$3\""
  case $err in *"$4"*) ;; *) fail "$1: said \"$err\", expected \"$4\"" ;; esac
}

printf '[Quorvex]\r\nVersion=99.0\r\nDownloadFileURL=%s/QuorvexSetup.exe\r\nReadmeFileURL=%s/readme.txt\r\n' \
  "$site" "$site" >"$root/newer.txt"
printf 'What is new\r\n' >"$root/readme.txt"
check newer.txt
expect newer 0 "Version: 99.0
Download: $site/QuorvexSetup.exe
Readme: $site/readme.txt
Update page: http://quorvex.example.com/" ""

printf '[quorvex]\nVersion=0\nUpdatePageURL=http://quorvex.example.com/old\n' >"$root/older.txt"
check older.txt
expect older 1 "There are no new versions available.
Update page: http://quorvex.example.com/old" ""

check missing.txt
expect missing 3 "" "Cannot read the update information file $site/missing.txt. Failed: 404 Not Found"

{ printf '[Quorvex]\nVersion=99\n'; head -c 262144 /dev/zero | tr '\0' ';'; } >"$root/large.txt"
check large.txt
expect "above the size limit" 3 "" "The update information file at $site/large.txt is larger than 256 KB."

status=0
timeout 60 wine "$exe" update all >/dev/null 2>&1 || status=$?
[ "$status" = 2 ] || fail "usage: exit status $status, expected 2"

leftovers=$(find "$WINEPREFIX/drive_c/users" -path '*/AppData/Local/Quorvex/AU*' 2>/dev/null)
[ -z "$leftovers" ] || fail "temporary files left behind: $leftovers"

[ "$failures" = 0 ] && echo "quorvex-cli.exe update: all checks passed"
exit "$failures"
