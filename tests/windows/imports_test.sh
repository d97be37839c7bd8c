#!/usr/bin/env bash
# Pellumar.exe is self-contained: it imports only DLLs that every Windows has. And it carries the
# marks Windows reads before it runs a program: subsystem 6.0 or later, Terminal Server aware,
# loaded at a random address (high-entropy for 64-bit), its data never run as code.
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

# From the PE header itself: DllCharacteristics must hold DYNAMIC_BASE (0x40), NX_COMPAT (0x100),
# TERMINAL_SERVER_AWARE (0x8000) and, for 64-bit (magic 0x20b), HIGH_ENTROPY_VA (0x20).
Number() { od -An -t "u$2" -j "$1" -N "$2" --endian=little "$3" | tr -d ' '; }
optional=$(($(Number 60 4 "$2") + 24))
subsystem=$(Number $((optional + 48)) 2 "$2") flags=$(Number $((optional + 70)) 2 "$2")
need=$((0x8140 | ($(Number "$optional" 2 "$2") == 0x20b ? 0x20 : 0)))
printf 'subsystem version %d, DllCharacteristics 0x%04X\n' "$subsystem" "$flags"
status=0
[ "$subsystem" -ge 6 ] || { echo "FAIL: subsystem version $subsystem, not 6 or later"; status=1; }
(((flags & need) == need)) || { printf 'FAIL: lacks the marks 0x%04X\n' $((need & ~flags)); status=1; }
exit "$status"
