#!/usr/bin/env bash
# Checks that each given Windows program imports only Windows system DLLs:
# the run-time library and the C++ library must be linked in statically, so
# that the programs run from the package without any DLL of their own.
#   tests/check_imports.sh prog.exe [prog.exe ...]
set -euo pipefail

objdump=""
for candidate in x86_64-w64-mingw32-objdump i686-w64-mingw32-objdump objdump; do
  if command -v "$candidate" >/dev/null 2>&1; then objdump=$candidate; break; fi
done
if [ -z "$objdump" ]; then echo "check_imports: no objdump found" >&2; exit 2; fi
if [ $# -eq 0 ]; then echo "usage: $0 prog.exe [prog.exe ...]" >&2; exit 2; fi

# System DLLs the programs may import (compared in lower case).
allowed='^(kernel32|user32|gdi32|comctl32|shell32|ws2_32|wsock32|advapi32|msvcrt)\.dll$|^api-ms-win-crt-[a-z0-9-]+\.dll$'

status=0
for exe in "$@"; do
  if [ ! -f "$exe" ]; then echo "FAIL $exe: no such file"; status=1; continue; fi
  if ! dump=$("$objdump" -p "$exe" 2>&1); then
    echo "FAIL $exe: objdump cannot read it: $dump"; status=1; continue
  fi
  dlls=$(printf '%s\n' "$dump" | sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p' | tr 'A-Z' 'a-z' | sort -u)
  if [ -z "$dlls" ]; then
    echo "FAIL $exe: no import table found"; status=1; continue
  fi
  bad=$(printf '%s\n' "$dlls" | grep -Ev "$allowed" || true)
  if [ -n "$bad" ]; then
    echo "FAIL $exe imports non-system DLLs: $(echo $bad)"; status=1
  else
    echo "ok   $exe: $(echo $dlls)"
  fi
done
exit $status
