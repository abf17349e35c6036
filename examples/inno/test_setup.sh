#!/usr/bin/env bash
# Compiles setup.iss around a built ostra.exe with Inno Setup's own compiler and runs the Setup it
# makes under Wine on a virtual display. Silently: serials stamped whole; serials refused, and a
# product.dat without the placeholder, each ending Setup with exit code 7 and nothing installed;
# Setup run again without a serial stamps the one it remembered, kept out of the log, and with one
# the one given; a failed upgrade leaves the earlier installation as it was.
# Its wizard, driven by test_wizard.exe: a serial typed into its page, or given with /SERIAL=,
# stamped and kept out of the log; one refused with a message.
#   test_setup.sh OSTRA.EXE ISCC.EXE [ARCHITECTURE]
# ARCHITECTURE amd64 makes a 64-bit installation around a 64-bit ostra.exe.
# ISCC.exe and Setup are 32-bit programs: where 32-bit programs cannot run, the test skips (77).
set -euo pipefail
exe=$(readlink -f "${1:?usage: $0 path/to/ostra.exe path/to/ISCC.exe [architecture]}")
iscc=$(readlink -f "${2:?usage: $0 path/to/ostra.exe path/to/ISCC.exe [architecture]}")
here=$(cd "$(dirname "$0")" && pwd)
if [ -n "${OSTRA_NO_32BIT:-}" ] || ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo "skipped: Inno Setup's programs are 32-bit and this machine runs no 32-bit programs"
  exit 77
fi
. "$here/../test_recipe.sh"

cp "$here/setup.iss" "$here/product.dat" "$exe" "$work"
grep -v PLACEHOLDER "$here/product.dat" >"$work/unstamped.dat"
# Setup remembers the serial under its AppId in Wine's registry, which outlives the test: each run
# has ids of its own, one for the silent installations and one for the wizard's.
defines=(/DOstraExe=ostra.exe "/DAppId=Ostra Example ${work##*-}")
[ "${3:-x86}" != amd64 ] || defines+=(/DWin64)
(cd "$work" && "$wine_run" wine "$iscc" /Q "${defines[@]}" setup.iss &&
  "$wine_run" wine "$iscc" /Q "${defines[@]}" /DDataFile=unstamped.dat /Fno-placeholder setup.iss &&
  "$wine_run" wine "$iscc" /Q "${defines[@]}" "/DAppId=Ostra Wizard ${work##*-}" /Fwizard setup.iss)
"$wine_run" wineserver -w

# The Windows name of a path: Wine's drive Z: is the root. Asking winepath would start Wine
# without the display, and Setup would then join that Wine and fail to make its windows.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

cases=0
install() {
  local dir options=()
  [ -n "${again:-}" ] || cases=$((cases + 1))
  dir="$work/app$cases"
  [ "$1" = - ] || options=("/SERIAL=$1")
  xvfb-run -a "$wine_run" wine "$work/$setup" /VERYSILENT /SUPPRESSMSGBOXES "${options[@]}" \
    "/LOG=$(windows_path "$dir.log")" "/DIR=$(windows_path "$dir")" >"$dir.out" 2>&1 || status=$?
  "$wine_run" wineserver -w
  installed="$dir/product.dat" log="$dir.all"
  cat "$dir.log" "$dir.out" >"$log" 2>/dev/null || true
}

data="$here/product.dat"
setup=setup.exe run_cases <<CASES
-|7|absent|No serial given: type it
|7|absent|No serial given: type it
SN-2026-0042|0|$(stamped "$data" @@SERIAL-PLACEHOLDER@@ SN-2026-0042)|ostra exit status: 1
SN 2026 & 0042|0|$(stamped "$data" @@SERIAL-PLACEHOLDER@@ 'SN 2026 & 0042')|ostra exit status: 1
^%PATH%!|0|$(stamped "$data" @@SERIAL-PLACEHOLDER@@ '^%PATH%!')|ostra exit status: 1
SN-2026-0042-ABCDEFGHI|0|$(stamped "$data" @@SERIAL-PLACEHOLDER@@ SN-2026-0042-ABCDEFGHI)|ostra exit status: 1
SN-2026-0042-ABCDEFGHIJ|7|absent|The serial is longer than 22 characters
SN"42|7|absent|
SN-42\\|0|$(stamped "$data" @@SERIAL-PLACEHOLDER@@ 'SN-42\')|ostra exit status: 1
CASES
# Installed again into the folder of the last case: the remembered serial, a new one, a failed
# upgrade.
again=1 setup=setup.exe run_cases <<CASES
-|0|$(stamped "$data" @@SERIAL-PLACEHOLDER@@ 'SN-42\')|ostra exit status: 1
SN-NEW-2|0|$(stamped "$data" @@SERIAL-PLACEHOLDER@@ SN-NEW-2)|ostra exit status: 1
CASES
again=1 setup=no-placeholder.exe run_cases <<CASES
-|7|$(stamped "$data" @@SERIAL-PLACEHOLDER@@ SN-NEW-2)|The serial was not stamped: placeholder absent
CASES
! grep -l 'SN-NEW-2' "$work/app$cases.log" || { echo "a remembered serial is in the log"; failed=1; }
setup=no-placeholder.exe run_cases <<CASES
SN-2026-0042|7|absent|The serial was not stamped: placeholder absent
CASES

# The wizard, as a user who double-clicks Setup meets it, with /SERIAL=$given when given: each
# case's serial is typed into the page (`-`: the box left as Setup filled it). A refused serial
# shows a message, after which the user cancels Setup (exit code 2). A wizard that test_wizard.exe
# cannot finish is ended with every Wine program.
i686-w64-mingw32-g++ -O2 -static -o "$work/test_wizard.exe" "$here/test_wizard.cpp"
install() {
  local dir="$work/app$((cases += 1))" typed=()
  [ "$1" = - ] || typed=("$1")
  xvfb-run -a bash -c '"$1" wine "$2" "/DIR=$3" "/LOG=$4" ${5:+"/SERIAL=$5"} & setup=$!
    "$1" wine "${@:6}" || "$1" wineserver -k; wait $setup' wizard "$wine_run" "$work/wizard.exe" "$(windows_path "$dir")" \
    "$(windows_path "$dir.log")" "${given:-}" "$work/test_wizard.exe" "${typed[@]}" >"$dir.out" 2>&1 ||
    status=$?
  "$wine_run" wineserver -w
  installed="$dir/product.dat" log="$dir.all"
  cat "$dir.log" "$dir.out" >"$log" 2>/dev/null || true
}
run_cases <<CASES
-|2|absent|message: No serial given
SN-TYPED-0042|0|$(stamped "$data" @@SERIAL-PLACEHOLDER@@ SN-TYPED-0042)|ostra exit status: 1
SN"42|2|absent|message: The serial holds a double quote
CASES
given=SN-2026-0099 run_cases <<CASES
-|0|$(stamped "$data" @@SERIAL-PLACEHOLDER@@ SN-2026-0099)|ostra exit status: 1
CASES
! grep -l SN-TYPED-0042 "$work"/app*.log || { echo "a serial typed into the wizard is in its log"; failed=1; }
[ $failed -eq 0 ] && echo "Inno Setup (${3:-x86}): serials stamped whole before anything is installed; refused ones and a missing placeholder stop Setup with 7; its wizard asks for the serial"
exit $failed
