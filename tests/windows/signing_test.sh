#!/usr/bin/env bash
# A program signed as tools/release --sign signs it, with a throwaway self-signed certificate
# made here: the signature is found and its digest matches the file; with the signature
# removed the program is the unsigned one byte for byte (the release's bytes stay provable);
# and one byte changed after signing fails the check.
# usage: signing_test.sh PELLUMAR_EXE
set -euo pipefail
source "$(dirname "$0")/../../tools/lib/common.sh"
exe=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
openssl req -x509 -newkey rsa:2048 -nodes -subj "/CN=Pellumar test signing" -days 2 \
  -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
SignProgram "$exe" "$work/signed.exe" -certs "$work/cert.pem" -key "$work/key.pem"
Verify() { osslsigncode verify -CAfile "$work/cert.pem" -in "$1" >"$work/verify.log" 2>&1; }

Verify "$work/signed.exe" || { cat "$work/verify.log"; echo "FAIL: the signed program does not verify"; exit 1; }
osslsigncode remove-signature -in "$work/signed.exe" -out "$work/unsigned.exe" >/dev/null
if ! cmp -s "$exe" "$work/unsigned.exe"; then
  # The only difference allowed is the PE header's checksum, which a tool may write anew.
  checksum=$(($(od -An -t u4 -j 60 -N 4 --endian=little "$exe" | tr -d ' ') + 88))
  differing=$(cmp -l "$exe" "$work/unsigned.exe" | awk -v c="$checksum" '$1 < c + 1 || $1 > c + 4' | wc -l)
  [ "$differing" -eq 0 ] || { echo "FAIL: without its signature the program is not the unsigned one"; exit 1; }
  echo "note: without its signature the program differs from the unsigned one in its header's checksum only"
fi
cp "$work/signed.exe" "$work/changed.exe"
offset=$(($(stat -c %s "$exe") / 2))  # inside the program's own bytes, not the signature
byte=$((($(od -An -t u1 -j "$offset" -N 1 "$exe" | tr -d ' ') + 1) % 256))
printf "\\$(printf '%03o' "$byte")" | dd of="$work/changed.exe" bs=1 seek="$offset" conv=notrunc 2>/dev/null
! Verify "$work/changed.exe" || { echo "FAIL: a program changed after signing still verifies"; exit 1; }
echo "ok: signed, verified, unsigned again byte for byte, and a changed byte refused"
