#!/usr/bin/env bash
# Signs a Windows program or installer in place with osslsigncode (Authenticode,
# SHA-256), with the PKCS#12 certificate and password file given:
#
#   sign-windows.sh CERTIFICATE.p12 PASSWORD_FILE FILE.exe
#
# The build calls it for quorvex.exe, quorvex-cli.exe, the installer and its
# uninstaller when it is given a certificate (QUORVEX_CODESIGN_PKCS12).
set -euo pipefail
certificate=$1 password_file=$2 file=$3
# osslsigncode writes a new file only: one in a private folder beside the
# original, then moved over it.
folder=$(mktemp -d "$(dirname "$file")/.signing-XXXXXX")
trap 'rm -rf "$folder"' EXIT
osslsigncode sign -pkcs12 "$certificate" -readpass "$password_file" -h sha256 -n Quorvex \
  -in "$file" -out "$folder/signed" >/dev/null
mv -f "$folder/signed" "$file"
