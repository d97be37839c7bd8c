#!/usr/bin/env bash
# tools/check-includes fails on each kind of include against the rooms' direction: a copy of
# the program's rooms with one such include added must fail, naming the file.
# usage: check_includes_test.sh CHECKOUT
set -euo pipefail
source=$1
copy=$(mktemp -d)
trap 'rm -rf "$copy"' EXIT

rows=(
  'shell/file_system.cpp|#include "shortcut/naming.h"'      # the platform using the core
  'shortcut/naming.cpp|#include "shell/windows_services.h"' # the core reaching the Windows side
  'shortcut/naming.cpp|#include <windows.h>'                # a platform header in the core
  'shell/services.h|#include "shell/wide.h"'                # the interface using the Windows side
  'picture/jpeg.cpp|#include "shortcut/naming.h"'
  'app/form1.cpp|#include "tests/utf8.h"'
)
status=0
for row in "${rows[@]}"; do
  file=${row%%|*} line=${row#*|}
  rm -rf "${copy:?}"/*
  cp -r "$source"/{app,shortcut,shell,picture,resources,bench} "$copy"/
  echo "$line" >>"$copy/$file"
  if output=$("$source/tools/check-includes" "$copy" 2>&1); then
    echo "FAIL: not caught: $line in $file"
    status=1
  elif ! grep -q "^$file:" <<<"$output"; then
    echo "FAIL: $line in $file failed the check without naming the file: $output"
    status=1
  fi
done
# The checkout itself passes.
"$source/tools/check-includes" "$source" || status=1
exit "$status"
