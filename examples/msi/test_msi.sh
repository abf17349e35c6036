#!/usr/bin/env bash
# Builds the package with build.sh around a built ostra.exe and runs it with msiexec under Wine:
# install, both repair modes, an upgrade by a second version and uninstall; serials that cmd would
# parse, each stamped whole; and the failures (no serial, one longer than the placeholder, no
# placeholder), each rolled back with nothing left installed; and that the x64 package installs
# into the 64-bit Program Files folder.
#   test_msi.sh OSTRA.EXE [WINE-LOADER [ARCHITECTURE]]     (ARCHITECTURE x86 or amd64)
set -euo pipefail
exe=$(readlink -f "${1:?usage: $0 path/to/ostra.exe [wine-loader [x86|amd64]]}")
loader=${2:-wine}
arch=x86
[ "${3:-x86}" = amd64 ] && arch=x64
here=$(cd "$(dirname "$0")" && pwd)
# Every Wine command goes through the project's runner, which holds Wine's environment.
wine_run=$(cd "$here/../.." && pwd)/cmake/wine-run
wine=("$wine_run" "$loader")
work=$(mktemp -d /tmp/ostra-msi-XXXXXX)
cd "$work"
folder="$("${wine[@]}" winepath -w "$work/installed")\\"
msiexec() {  # msiexec ARGUMENTS...: runs it quietly into $work/installed, prints its status
  local status=0
  "${wine[@]}" msiexec "$@" /qn "INSTALLFOLDER=$folder" </dev/null >/dev/null 2>&1 || status=$?
  "$wine_run" wineserver -w
  echo $status
}
# Whatever a failed check left installed is removed, so that it cannot affect later runs.
trap 'for p in v1 v2 serial none; do msiexec /x $p.msi >/dev/null; done; rm -rf "$work"' EXIT

cp "$exe" ostra.exe
cp "$here/product.dat" .
bash "$here/build.sh" $arch 1.0.0 v1.msi
bash "$here/build.sh" $arch 2.0.0 v2.msi
printf 'serial=none;' >product.dat
bash "$here/build.sh" $arch 1.0.0 none.msi

fail=0
check() {  # check WHAT STATUS WANTED-STATUS WANTED-DATA: the installed serial line (zero bytes as .)
  local data
  data=$(tr '\0' '.' 2>/dev/null <installed/product.dat | sed -n 2p || true)
  [ "$2" = "$3" ] && [ "$data" = "$4" ] ||
    { echo "$arch package, $1: msiexec status $2, installed '$data', wanted $3 and '$4'"; fail=1; }
}
padded() { printf 'serial=%s%s;' "$1" "$(printf '%*s' $((22 - ${#1})) '' | tr ' ' .)"; }

check install "$(msiexec /i v1.msi SERIAL=SN-2026-0042)" 0 "$(padded SN-2026-0042)"
for mode in amus omus; do
  check "repair $mode" "$(msiexec /i v1.msi REINSTALL=ALL REINSTALLMODE=$mode)" 0 "$(padded SN-2026-0042)"
done
check "upgrade to 2.0.0" "$(msiexec /i v2.msi SERIAL=SN-2026-0099)" 0 "$(padded SN-2026-0042)"
# Removing 2.0.0 empties the folder only if the upgrade removed 1.0.0.
check uninstall "$(msiexec /x v2.msi)" 0 ""
[ -z "$(find installed -type f 2>/dev/null)" ] || { echo "$arch package: files left after uninstall"; fail=1; }

# Wine's msiexec splits quoted values on its command line unlike Windows' (SERIAL="A B" arrives as
# a backslash), so these serials go into the package's Property table instead. A serial that cmd
# parsed would run as a command, be cut at a space, or change; the last fills the placeholder.
while IFS= read -r serial; do
  cp v1.msi serial.msi
  msibuild serial.msi -q "INSERT INTO Property (Property, Value) VALUES ('SERIAL', '$serial')"
  check "SERIAL=$serial" "$(msiexec /i serial.msi)" 0 "$(padded "$serial")"
  msiexec /x serial.msi >/dev/null
done <<'SERIALS'
AB&echo INJECTED>x.txt
AB|sort
SN "2026" 42
AB^^CD
%PATH%
SN 2026 42
SN-2026\
SN-2026-0042-ABCDEFGHI
SERIALS

# Windows Installer says 1603 (fatal error), Wine 1627 (function failed): any failure will do, and
# the rollback leaves nothing installed.
for case in "no serial|v1.msi" "serial of 23 bytes|v1.msi SERIAL=SN-2026-0042-ABCDEFGHIJ" \
            "no placeholder|none.msi SERIAL=SN-2026-0042"; do
  status=$(msiexec /i ${case#*|})
  left=$(find installed -type f 2>/dev/null || true)
  [ "$status" -ne 0 ] && [ -z "$left" ] ||
    { echo "$arch package, ${case%%|*}: msiexec status $status, left installed: $left"; fail=1; }
done
if [ $arch = x64 ]; then  # into the 64-bit Program Files folder when the folder is not given
  program_files=$("${wine[@]}" winepath -u 'C:\Program Files' 2>/dev/null)
  "${wine[@]}" msiexec /i v1.msi /qn SERIAL=SN-2026-0042 </dev/null >/dev/null 2>&1 || true
  "$wine_run" wineserver -w
  [ -f "$program_files/Ostra Example Product/product.dat" ] ||
    { echo "x64 package: not installed into $program_files"; fail=1; }
  "${wine[@]}" msiexec /x v1.msi /qn </dev/null >/dev/null 2>&1 || true
  "$wine_run" wineserver -w
fi
[ $fail -eq 0 ] && echo "$arch package: install, repair, upgrade, uninstall, hostile serials and failures as expected"
exit $fail
