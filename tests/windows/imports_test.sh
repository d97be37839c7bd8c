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

# Read from the PE header itself: a little-endian number of WIDTH bytes at OFFSET.
Number() { od -An -t "u$2" -j "$1" -N "$2" --endian=little "$3" | tr -d ' '; }
pe=$(Number 60 4 "$2")
optional=$((pe + 24))
magic=$(Number "$optional" 2 "$2")           # 0x10b: 32-bit, 0x20b: 64-bit
subsystem=$(Number $((optional + 48)) 2 "$2")  # MajorSubsystemVersion
flags=$(Number $((optional + 70)) 2 "$2")      # DllCharacteristics
printf 'subsystem version %d, DllCharacteristics 0x%04X\n' "$subsystem" "$flags"
status=0
if [ "$subsystem" -lt 6 ]; then
  echo "FAIL: subsystem version $subsystem, not 6.0 or later"
  status=1
fi
marks=(0x0040 DYNAMIC_BASE 0x0100 NX_COMPAT 0x8000 TERMINAL_SERVER_AWARE)
[ "$magic" -eq $((0x20b)) ] && marks+=(0x0020 HIGH_ENTROPY_VA)
for ((i = 0; i < ${#marks[@]}; i += 2)); do
  if (((flags & marks[i]) == 0)); then
    echo "FAIL: not marked ${marks[i + 1]}"
    status=1
  fi
done
exit "$status"
