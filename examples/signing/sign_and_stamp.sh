#!/usr/bin/env bash
# Stamping a signed program without signing it again. The program is signed, then a placeholder is
# reserved in the signature's unsigned part, which the signature does not cover: stamped there,
# the signature stays valid. A placeholder in the signed part, stamped, breaks the signature.
#   sign_and_stamp.sh OSTRA.EXE [WINE...]
# OSTRA.EXE, run under Wine, stamps; it is also the program signed, as any Windows program would
# do. WINE is the command that runs a Windows program, `wine` unless given (the tests give their
# cross build's emulator). The certificate is a throwaway one made here.
set -euo pipefail
ostra=$(readlink -f "${1:?usage: $0 path/to/ostra.exe [wine-command...]}")
wine=("${@:2}")
[ ${#wine[@]} -gt 0 ] || wine=(wine)
# The command runs from a scratch folder: a path to it must not depend on where it was given.
[[ ${wine[0]} != */* ]] || wine[0]=$(readlink -f "${wine[0]}")
run=("${wine[@]}" "$ostra")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
cp "$ostra" app.exe
openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj "/CN=Example signer" \
  -keyout key.pem -out cert.pem 2>/dev/null

# At build time: sign, then reserve room in the unsigned part: osslsigncode adds a blob that begins
# with the text ---BEGIN_BLOB--- followed by 1024 zero bytes. The placeholder is written into those
# zero bytes, as long as the serials the product accepts (22 bytes): the blob's own text, 16 bytes,
# would cut a longer serial.
placeholder=@@SERIAL-PLACEHOLDER@@
osslsigncode sign -certs cert.pem -key key.pem -in app.exe -out signed.exe >/dev/null
osslsigncode add -addUnauthenticatedBlob -in signed.exe -out reserved.exe >/dev/null
begin=---BEGIN_BLOB---
blob=$(grep -boa -- "$begin" reserved.exe | cut -d: -f1)
printf %s "$placeholder" |
  dd of=reserved.exe bs=1 seek=$((blob + ${#begin})) conv=notrunc status=none

# At install time: refuse a serial the placeholder cannot hold, then stamp; the signature still
# verifies.
serial=SN-2026-0042-ABCDEFGHI
[ ${#serial} -le ${#placeholder} ] || { echo "the serial is longer than ${#placeholder} bytes" >&2; exit 1; }
cp reserved.exe installed.exe
status=0
"${run[@]}" /burnfile installed.exe /burnstring "$placeholder" /burnsn "$serial" >/dev/null || status=$?

fail=0
[ $status -eq 1 ] && grep -qa -- "$begin$serial" installed.exe ||
  { echo "the reserved placeholder was not stamped (status $status)"; fail=1; }
osslsigncode verify -CAfile cert.pem -in installed.exe >verify.txt 2>&1 ||
  { echo "stamped in the unsigned part, the signature no longer verifies:"; cat verify.txt; fail=1; }

# The counter-case: text in the signed part (the program's usage text), stamped, breaks it.
cp reserved.exe broken.exe
status=0
"${run[@]}" /burnfile broken.exe /burnstring 'Usage: ' /burnsn 'Stamp: ' >/dev/null || status=$?
[ $status -eq 1 ] || { echo "the signed part was not stamped (status $status)"; fail=1; }
! osslsigncode verify -CAfile cert.pem -in broken.exe >/dev/null 2>&1 ||
  { echo "stamped in the signed part, the signature still verifies"; fail=1; }
[ $fail -eq 0 ] && echo "signature valid after stamping its unsigned part, broken by stamping the signed part"
exit $fail
