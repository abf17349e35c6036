#!/usr/bin/env bash
# Builds the MSI package of product.wxs around the ostra.exe and product.dat of the current folder:
# compiles the custom action stamp_serial.cpp for the package's architecture, runs wixl, then marks
# the data file's component NeverOverwrite (128), which wixl cannot express.
#   build.sh x86|x64 VERSION OUTPUT.msi
set -euo pipefail
arch=${1:?usage: $0 x86|x64 VERSION OUTPUT.msi}
version=${2:?usage: $0 x86|x64 VERSION OUTPUT.msi}
output=${3:?usage: $0 x86|x64 VERSION OUTPUT.msi}
here=$(cd "$(dirname "$0")" && pwd)
case $arch in  # and the component attributes: NeverOverwrite (128), 64-bit (256)
  x86) compiler=i686-w64-mingw32-g++ attributes=128 ;;
  x64) compiler=x86_64-w64-mingw32-g++ attributes=384 ;;
  *) echo "$0: architecture x86 or x64, not $arch" >&2; exit 2 ;;
esac
"$compiler" -O2 -shared -static -s -o stamp_serial.dll "$here/stamp_serial.cpp" -lmsi -Wl,--kill-at
wixl -a "$arch" -D Arch="$arch" -D Version="$version" -o "$output" "$here/product.wxs"
msibuild "$output" -q "UPDATE Component SET Attributes = $attributes WHERE Component = 'Data'"
