#!/usr/bin/env bash
# Runs the self-update test (SelfUpdateTest.cpp) on the display with the
# keys and signatures it needs, made by the publisher's tool as a publisher
# makes them: the publisher's key pair and another one, the next version's
# installer signed with each.
#
#   self_update.sh DISPLAY_STATE SIGN_TOOL NEXT_INSTALLER TEST_EXE NEXT_QUORVEX_EXE [TEST_ARGUMENT...]
# (the installers of both versions in one folder)
set -euo pipefail
state=$1 sign_tool=$2 next_installer=$3 test_exe=$4 next_quorvex=$5
shift 5
here=$(dirname "$0")
installers=$(dirname "$next_installer")
keys=$(mktemp -d)
trap 'rm -rf "$keys"' EXIT

"$sign_tool" keygen "$keys/publisher.key" | sed -n 's/^QUORVEX_UPDATE_PUBLIC_KEY=//p' >"$keys/public-key"
"$sign_tool" keygen "$keys/other.key" >/dev/null
"$sign_tool" sign "$keys/publisher.key" "$next_installer" >"$keys/signed-by-publisher"
"$sign_tool" sign "$keys/other.key" "$next_installer" >"$keys/signed-by-other"

export QUORVEX_SELF_UPDATE_DIR=$installers QUORVEX_SELF_UPDATE_KEYS=$keys
bash "$here/display.sh" run "$state" "$test_exe" "$next_quorvex" "$@"
