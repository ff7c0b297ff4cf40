#!/usr/bin/env bash
# Checks that each program imports only DLLs that come with Windows, so that
# it needs nothing beside it.
#
#   system_imports.sh OBJDUMP PROGRAM...
set -euo pipefail
objdump=$1
shift
system='^(KERNEL32|USER32|GDI32|ADVAPI32|msvcrt|WS2_32|COMCTL32|COMDLG32|SHELL32|SHLWAPI|ole32|OLEAUT32|UxTheme|VERSION)\.dll$'
status=0
for program in "$@"; do
  dlls=$("$objdump" -p "$program" | sed -n 's/^[[:space:]]*DLL Name: //p')
  if [ -z "$dlls" ]; then
    echo "$program: no imports found" >&2
    status=1
  fi
  while read -r dll; do
    if ! grep -qiE "$system" <<<"$dll"; then
      echo "$program imports $dll, which Windows does not have" >&2
      status=1
    fi
  done <<<"$dlls"
done
exit $status
