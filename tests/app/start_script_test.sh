#!/usr/bin/env bash
# The run command's start (scripts/start.sh) in a home of its own: with only
# a Lutris prefix holding a messenger it starts Quorvex on that and makes no
# demo prefix; with no messenger anywhere it makes the demo prefix and starts
# on it. Quorvex is asked for its version only, so no window is needed.
#
#   start_script_test.sh START_SH QUORVEX QUORVEX_CLI FAKE_MESSENGER
set -euo pipefail
start=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A build folder of its own, holding the built programs, for the demo prefix.
build=$work/build
mkdir -p "$build/app" "$build/cli" "$build/tools/fakemessenger"
ln -s "$(realpath "$2")" "$build/app/quorvex"
ln -s "$(realpath "$3")" "$build/cli/quorvex-cli"
ln -s "$(realpath "$4")" "$build/tools/fakemessenger/quorvex-fake-messenger"
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

run() {  # HOME, then the arguments
  local home=$1
  shift
  (cd "$work" && env -u WINEPREFIX -u XDG_DATA_HOME HOME="$home" QUORVEX_BUILD_DIR="$build" "$start" "$@")
}

lutris_home=$work/lutris-home
"$build/tools/fakemessenger/quorvex-fake-messenger" "$lutris_home/Games/yim" >/dev/null
out=$(run "$lutris_home" --version) || fail "with a Lutris prefix: exit status $?"
expected="run: starting Quorvex on the messenger in $lutris_home/Games/yim (found in a Wine front-end's folder)"
[ "$(head -n 1 <<<"$out")" = "$expected" ] || fail "with a Lutris prefix, it said: $out"
grep -qx 'Quorvex [0-9.]*' <<<"$out" || fail "with a Lutris prefix, Quorvex did not run: $out"
[ ! -e "$build/demo-prefix" ] || fail "with a Lutris prefix, a demo prefix was made"

empty_home=$work/empty-home
mkdir "$empty_home"
out=$(run "$empty_home" --version) || fail "with no messenger: exit status $?"
expected="run: no messenger in $empty_home/.wine nor in a Wine front-end's prefix; starting Quorvex on the synthetic messenger in $build/demo-prefix"
[ "$(head -n 1 <<<"$out")" = "$expected" ] || fail "with no messenger, it said: $out"
[ -f "$build/demo-prefix/drive_c/Program Files/Yahoo!/Messenger/YahooMessenger.exe" ] ||
  fail "with no messenger, no demo prefix was made"

# A prefix given to the program is the one asked about.
out=$(run "$lutris_home" --prefix "$work/given" --version) || fail "with --prefix: exit status $?"
[[ "$(head -n 1 <<<"$out")" == "run: no messenger in $work/given; starting"* ]] || fail "with --prefix, it said: $out"

if [ "$failures" -gt 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "start.sh: the Lutris prefix is used, the demo prefix made only where no messenger is found"
