#!/usr/bin/env bash
# Checks that each program imports only DLLs that come with Windows, so that
# it needs nothing beside it, and none of the DELAYED ones when it starts:
# those it loads at its first call (cmake/WindowsDelayLoad.cmake), and a
# function missing from their delay-import list would load one at every start.
#
#   system_imports.sh OBJDUMP DELAYED PROGRAM...
#
# DELAYED names DLLs without ".dll", parted by ";" (a CMake list).
set -euo pipefail
objdump=$1
delayed="^(${2//;/|})\.dll$"
shift 2
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
    if grep -qiE "$delayed" <<<"$dll"; then
      echo "$program loads $dll when it starts: a function it calls is missing from the delay-import list" >&2
      status=1
    fi
  done <<<"$dlls"
done
exit $status
