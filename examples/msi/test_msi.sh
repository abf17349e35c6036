#!/usr/bin/env bash
# Builds product.wxs with wixl around a built ostra.exe and installs it with msiexec under Wine:
# once with the placeholder in the data file (stamped, then uninstalled), once without it (the
# stamp fails, the installation fails and rolls back, leaving nothing installed).
#   test_msi.sh OSTRA.EXE [WINE-LOADER [ARCHITECTURE]]     (ARCHITECTURE x86 or amd64)
set -euo pipefail
exe=$(readlink -f "${1:?usage: $0 path/to/ostra.exe [wine-loader [x86|amd64]]}")
loader=${2:-wine}
arch=x86
[ "${3:-x86}" = amd64 ] && arch=x64
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d /tmp/ostra-msi-XXXXXX)
# Whatever a failed check left installed is removed, so that it cannot affect later runs.
trap '"$loader" msiexec /x "$work/product.msi" /qn </dev/null >/dev/null 2>&1; wineserver -w; rm -rf "$work"' EXIT
export WINEDEBUG=-all
cp "$here/product.wxs" "$exe" "$here/../batch/stamp.cmd" "$work/"
cd "$work"

install() {  # install DATA-FILE-CONTENTS: builds the package around it, installs it, prints msiexec's status
  printf '%s' "$1" >product.dat
  wixl -a $arch -o product.msi product.wxs
  local status=0
  "$loader" msiexec /i product.msi /qn SERIAL=SN-0042 \
    "INSTALLFOLDER=$("$loader" winepath -w "$work/installed")\\" </dev/null >/dev/null 2>&1 || status=$?
  wineserver -w
  echo $status
}

fail=0
status=$(install 'serial=@@SERIAL@@;')
data=$(tr '\0' '.' <installed/product.dat 2>/dev/null || true)
[ "$status" -eq 0 ] && [ "$data" = 'serial=SN-0042...;' ] ||
  { echo "$arch package with the placeholder: msiexec status $status, installed data '$data'"; fail=1; }
"$loader" msiexec /x product.msi /qn </dev/null >/dev/null 2>&1 || { echo "uninstall failed"; fail=1; }
wineserver -w

status=$(install 'serial=none;')
left=$(find installed -type f 2>/dev/null || true)
# Windows Installer says 1603 (fatal error), Wine 1627 (function failed): any failure will do.
[ "$status" -ne 0 ] && [ -z "$left" ] ||
  { echo "$arch package without the placeholder: msiexec status $status, left installed: $left"; fail=1; }
[ $fail -eq 0 ] && echo "$arch package: stamped when the placeholder is there, rolled back when it is not"
exit $fail
