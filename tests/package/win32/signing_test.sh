#!/usr/bin/env bash
# Code signing of the Windows release with a throwaway certificate made here:
# a program and an installer signed by scripts/sign-windows.sh (the installer
# through makensis, as the build signs it) verify with osslsigncode, and fail
# to once a byte of them changes. The release built without a certificate
# carries no signature.
#
#   signing_test.sh RELEASE_DIR NSI VERSION ICON SIGN_SCRIPT
set -euo pipefail
release=$(realpath "$1") nsi=$(realpath "$2") version=$3 icon=$(realpath "$4") sign_script=$(realpath "$5")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

cd "$work"
head -c 24 /dev/urandom | base64 >password
openssl req -x509 -newkey rsa:3072 -nodes -keyout key.pem -out certificate.pem -days 2 \
  -subj "/CN=Quorvex test publisher" -addext "extendedKeyUsage=codeSigning" 2>/dev/null
openssl pkcs12 -export -inkey key.pem -in certificate.pem -out certificate.p12 -passout file:password

verifies() { osslsigncode verify -CAfile certificate.pem -in "$1" >"$work/verify.log" 2>&1; }
# Flips a byte in the middle of the file, inside what the signature covers.
tamper() { cp "$1" "$2"; printf '\x5a' | dd of="$2" bs=1 seek=$(( $(stat -c %s "$1") / 2 )) conv=notrunc status=none; }

for file in "$release"/*.exe; do
  verifies "$file" && fail "$(basename "$file") carries a signature though the build was given no certificate"
done

cp "$release/quorvex-cli.exe" program.exe
"$sign_script" certificate.p12 password program.exe
verifies program.exe || fail "the signed program does not verify: $(cat verify.log)"
tamper program.exe program-changed.exe
verifies program-changed.exe && fail "the program verifies with a byte changed"

makensis -V1 -DVERSION="$version" -DOUTFILE="$work/QuorvexSetup-signed.exe" -DQUORVEX_EXE="$release/quorvex.exe" \
  -DCLI_EXE="$release/quorvex-cli.exe" -DICON="$icon" "-DPUBLISHER=The Quorvex Developers" \
  "-DSIGN=$sign_script $work/certificate.p12 $work/password %1" "$nsi"
verifies QuorvexSetup-signed.exe || fail "the signed installer does not verify: $(cat verify.log)"
tamper QuorvexSetup-signed.exe installer-changed.exe
verifies installer-changed.exe && fail "the installer verifies with a byte changed"

[ "$failures" = 0 ] || exit 1
echo "signing: signed programs and installers verify, changed ones do not, the unsigned release carries no signature"
