#!/usr/bin/env bash
# Pellumar.exe is self-contained: it imports only DLLs that every Windows has.
# usage: imports_test.sh OBJDUMP PELLUMAR_EXE
set -euo pipefail
system='^(kernel32|user32|gdi32|shell32|ole32|oleaut32|comdlg32|advapi32|msvcrt|comctl32|shlwapi|uxtheme|version)\.dll$'
imports=$("$1" -p "$2" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
echo "$imports"
foreign=$(grep -v -E "$system" <<<"$imports" || true)
if [ -n "$foreign" ]; then
  echo "FAIL: imports DLLs that are not part of Windows: $foreign"
  exit 1
fi
