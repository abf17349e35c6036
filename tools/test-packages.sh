#!/usr/bin/env bash
# Makes both release packages, unpacks each into a fresh folder and stamps a file with the program
# it holds (the Windows one under Wine). Expects build/release and build/win32 to be built.
set -euo pipefail
cd "$(dirname "$0")/.."
version=$(sed -n 's/^project(ostra VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
out=build/packages
rm -rf "$out" && mkdir -p "$out"
(cd build/release && cpack -B "$PWD/../packages" >/dev/null)
(cd build/win32 && cpack -B "$PWD/../packages" >/dev/null)

stamp_with() {  # stamp_with LABEL COMMAND...: stamps a fresh file in the current folder
  local label=$1
  shift
  printf 'id=@@ID@@;' >target.dat
  local status=0
  WINEDEBUG=-all "$@" /burnfile target.dat /burnstring @@ID@@ /burnsn 42 >/dev/null 2>&1 || status=$?
  if [ "$status" -ne 1 ] || [ "$(od -An -c target.dat | tr -s ' ')" != " i d = 4 2 \0 \0 \0 \0 ;" ]; then
    echo "$label: the packaged program did not stamp (status $status)"; return 1
  fi
  echo "$label: stamped with the packaged program"
}

fail=0
for package in "ostra-$version-linux-x86_64.tar.gz" "ostra-$version-win32.zip"; do
  [ -f "$out/$package" ] || { echo "missing package $package"; fail=1; continue; }
  echo "$package: $(stat -c %s "$out/$package") bytes"
  dir=$(mktemp -d)
  case "$package" in
    *.tar.gz) tar -xzf "$out/$package" -C "$dir"
              (cd "$dir" && stamp_with "$package" "$dir/ostra-$version-linux-x86_64/bin/ostra") || fail=1 ;;
    *.zip)    unzip -q "$out/$package" -d "$dir"
              for f in ostra.exe README.md LICENSE; do
                [ -f "$dir/ostra-$version-win32/$f" ] || { echo "$package lacks $f"; fail=1; }
              done
              (cd "$dir" && stamp_with "$package" wine "$dir/ostra-$version-win32/ostra.exe") || fail=1 ;;
  esac
  rm -rf "$dir"
done
exit $fail
