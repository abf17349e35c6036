#!/usr/bin/env bash
# Builds the MSI package of product.wxs around the ostra.exe and product.dat of the current folder:
# refuses a product.dat without the placeholder, which no installation could stamp; compiles the
# custom actions of stamp_serial.cpp for the package's architecture, with ostra.exe inside them;
# runs wixl; then sets what wixl drops: SERIAL secure (passed from the user interface to the
# installation), every property that holds the serial hidden from the log, and the HideTarget bit
# (8192) on each action that receives the serial.
#   build.sh x86|x64 VERSION OUTPUT.msi
set -euo pipefail
arch=${1:?usage: $0 x86|x64 VERSION OUTPUT.msi}
version=${2:?usage: $0 x86|x64 VERSION OUTPUT.msi}
output=${3:?usage: $0 x86|x64 VERSION OUTPUT.msi}
here=$(cd "$(dirname "$0")" && pwd)
case $arch in
  x86) compiler=i686-w64-mingw32-g++ ;;
  x64) compiler=x86_64-w64-mingw32-g++ ;;
  *) echo "$0: architecture x86 or x64, not $arch" >&2; exit 2 ;;
esac
placeholder=@@SERIAL-PLACEHOLDER@@
if ! grep -qaF -- "$placeholder" product.dat; then
  echo "$0: product.dat holds no placeholder $placeholder: no installation could stamp it" >&2
  exit 1
fi
# ostra.exe goes into the custom actions' DLL, which the package keeps in its Binary table: the
# program that runs as LocalSystem is never a file in a folder that users may write.
echo 'OSTRA RCDATA "ostra.exe"' >ostra_program.rc
"${compiler%g++}windres" -O coff -o ostra_program.o ostra_program.rc
"$compiler" -O2 -shared -static -s -o stamp_serial.dll "$here/stamp_serial.cpp" ostra_program.o \
  -lmsi -ladvapi32 -Wl,--kill-at
rm -f ostra_program.rc ostra_program.o
wixl -a "$arch" -D Arch="$arch" -D Version="$version" -D Placeholder="$placeholder" \
  -o "$output" "$here/product.wxs"
# A table's rows as msiinfo exports them, after its three header lines: fields parted by tabs.
rows() { msiinfo export "$output" "$1" | tail -n +4 | tr -d '\r'; }
secure=$(rows Property | awk -F '\t' '$1 == "SecureCustomProperties" { print $2 }')
if [ -n "$secure" ]; then
  msibuild "$output" -q "UPDATE Property SET Value = '$secure;SERIAL' WHERE Property = 'SecureCustomProperties'"
else
  msibuild "$output" -q "INSERT INTO Property (Property, Value) VALUES ('SecureCustomProperties', 'SERIAL')"
fi
msibuild "$output" -q "INSERT INTO Property (Property, Value) VALUES ('MsiHiddenProperties', 'SERIAL;REMEMBERED_SERIAL;SERIAL_STORED;StampSerial')"
for action in SetStampSerial StampSerial; do
  type=$(rows CustomAction | awk -F '\t' -v a=$action '$1 == a { print $2 }')
  msibuild "$output" -q "UPDATE CustomAction SET Type = $((type | 8192)) WHERE Action = '$action'"
done
