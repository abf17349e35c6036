#!/usr/bin/env bash
# Builds the example installer around a built ostra.exe and installs it silently under Wine into
# fresh folders: serials stamped whole (both placeholders checked byte for byte, and the exit
# statuses the installer saw: 1 for each stamp, 0 for a marker that is absent, -1 for a bad
# option, "error" for a missing program), serials refused before anything is installed (2), and a
# data file without the placeholder (3, the files extracted before Abort left in place).
#   test_installer.sh OSTRA.EXE [WINE-LOADER [NSIS-TARGET]]
# A 64-bit ostra.exe goes into a 64-bit installer (target amd64-unicode), run by the 64-bit loader.
set -euo pipefail
exe=$(readlink -f "${1:?usage: $0 path/to/ostra.exe [wine-loader [nsis-target]]}")
loader=${2:-wine}
target=${3:-x86-unicode}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../test_recipe.sh"
wine=("$wine_run" "$loader")

grep -v SERIAL-PLACEHOLDER "$here/product.dat" >"$work/unstamped.dat"
makensis -V2 -DTARGET=$target -DOSTRA_EXE="$exe" -DOUT_FILE="$work/setup.exe" "$here/setup.nsi" >/dev/null
makensis -V2 -DTARGET=$target -DOSTRA_EXE="$exe" -DOUT_FILE="$work/no-placeholder.exe" \
  -DDATA_FILE="$work/unstamped.dat" "$here/setup.nsi" >/dev/null

# Each installation runs from a batch file, so that the installer gets its command line as a user
# types it, a serial with a space in double quotes (Wine would quote the whole option); `%` is
# doubled there to stay itself, and so is `^` outside quotes.
cases=0
install() {
  local dir="$work/install$((cases += 1))" option=
  case $1 in
    -) ;;
    *' '*) option="/SERIAL=\"${1//%/%%}\"" ;;
    *) option="/SERIAL=${1//%/%%}" option=${option//^/^^} ;;
  esac
  printf '@"%s" /S %s /D=%s\r\n' "$("${wine[@]}" winepath -w "$work/$setup")" "$option" \
    "$("${wine[@]}" winepath -w "$dir")" >"$dir.cmd"
  # Wine's errors are kept with the installer's output: on a failure they may tell why.
  "$wine_run" --keep-errors "$loader" cmd /c "$dir.cmd" >"$dir.log" 2>&1 || status=$?
  "$wine_run" wineserver -w
  installed="$dir/Example Product/product.dat" log="$dir.log"
}

# The data file with the serial and the build id stamped.
both() { stamped "$here/product.dat" @@SERIAL-PLACEHOLDER@@ "$1" @@BUILD-PLACEHOLDER@@ "build 77"; }
setup=setup.exe run_cases <<CASES
SN-2026-0042|0|$(both SN-2026-0042)
SN 2026 & 0042|0|$(both 'SN 2026 & 0042')
^%PATH%!|0|$(both '^%PATH%!')
SN-2026-0042-ABCDEFGHI|0|$(both SN-2026-0042-ABCDEFGHI)
SN-2026-0042-ABCDEFGHIJ|2|absent
|2|absent
-|2|absent
SN-42\|2|absent
SN"42|2|absent
CASES
setup=no-placeholder.exe run_cases <<CASES
SN-2026-0042|3|$(shown "$work/unstamped.dat")
CASES

statuses=$(cat "$work/install1/statuses.txt")
expected_statuses="1 1 0 -1 error"
[ "$statuses" = "$expected_statuses" ] ||
  { echo "statuses seen by the installer: '$statuses', expected '$expected_statuses'"; failed=1; }
[ ! -e "$work/install1/Example Product/stamp.rsp" ] || { echo "argument file left behind"; failed=1; }
[ $failed -eq 0 ] && echo "$target installer: serials stamped whole, refused ones and a missing placeholder stop it; statuses $statuses"
exit $failed
