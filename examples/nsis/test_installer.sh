#!/usr/bin/env bash
# Builds the example installer around a built ostra.exe and installs it silently under Wine into
# fresh folders: serials stamped whole, quotes and all (both placeholders checked byte for byte);
# serials refused (2) and a data file without either placeholder (3), each with nothing installed;
# ostra.exe never installed. A small installer of the test's own shows the statuses that nsExec
# reports: 1 for a stamp, 0 for a marker that is absent, -1 for a bad option, "error" for a missing
# program.
#   test_installer.sh OSTRA.EXE [WINE-LOADER [NSIS-TARGET]]
# A 64-bit ostra.exe goes into a 64-bit installer (target amd64-unicode), run by the 64-bit loader.
set -euo pipefail
exe=$(readlink -f "${1:?usage: $0 path/to/ostra.exe [wine-loader [nsis-target]]}")
loader=${2:-wine}
target=${3:-x86-unicode}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../test_recipe.sh"
wine=("$wine_run" "$loader")

build() {  # build NAME [DATA-FILE]
  makensis -V2 -DTARGET=$target -DOSTRA_EXE="$exe" -DOUT_FILE="$work/$1" \
    ${2:+-DDATA_FILE="$2"} "$here/setup.nsi" >/dev/null
}
grep -v SERIAL-PLACEHOLDER "$here/product.dat" >"$work/no-serial.dat"
grep -v BUILD-PLACEHOLDER "$here/product.dat" >"$work/no-build.dat"
build setup.exe
build no-serial-placeholder.exe "$work/no-serial.dat"
build no-build-placeholder.exe "$work/no-build.dat"

# Each installation runs from a batch file, so that the installer gets its command line as a user
# types it, a serial with a space in double quotes (Wine would quote the whole option); `%` is
# doubled there to stay itself, and so is `^` outside quotes. A serial that begins with `"` is
# written as it is, and so is a whole option in quotes, `"/SERIAL=..."`.
cases=0
install() {
  local dir="$work/install$((cases += 1))" option=
  case $1 in
    -) ;;
    '"/SERIAL='*) option=$1 ;;
    '"'*) option="/SERIAL=$1" ;;
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
"/SERIAL=SN 2026 42"|0|$(both 'SN 2026 42')
^%PATH%!|0|$(both '^%PATH%!')
SN-2026-0042-ABCDEFGHI|0|$(both SN-2026-0042-ABCDEFGHI)
'SN'|0|$(both "'SN'")
\`SN-2\`|0|$(both '`SN-2`')
SN/2026/42|0|$(both SN/2026/42)
SN-2026-0042-ABCDEFGHIJ|2|absent
|2|absent
-|2|absent
SN-42\\|2|absent
SN"42|2|absent
"SN"42"|2|absent
SN-Ω-2026|2|absent
SN-é-2026|2|absent
CASES
setup=no-serial-placeholder.exe run_cases <<CASES
SN-2026-0042|3|absent
CASES
setup=no-build-placeholder.exe run_cases <<CASES
SN-2026-0042|3|absent
CASES
# Neither ostra.exe nor anything but the stamped data file is ever installed.
left=$(cd "$work" && find install*/ -type f ! -name product.dat)
[ -z "$left" ] || { echo "installed besides product.dat:"; echo "$left"; failed=1; }

# The statuses nsExec reports for ostra's outcomes and for a program that is not there.
cat >"$work/statuses.nsi" <<'NSI'
Target ${TARGET}
OutFile "${OUT_FILE}"
RequestExecutionLevel user
SilentInstall silent
Section
  InitPluginsDir
  File "/oname=$PLUGINSDIR\ostra.exe" "${OSTRA_EXE}"
  FileOpen $9 "$PLUGINSDIR\data.txt" w
  FileWrite $9 "@@MARK@@"
  FileClose $9
  nsExec::ExecToStack '"$PLUGINSDIR\ostra.exe" /burnfile "$PLUGINSDIR\data.txt" /burnstring @@MARK@@ /burnsn x'
  Pop $0
  Pop $R1
  nsExec::ExecToStack '"$PLUGINSDIR\ostra.exe" /burnfile "$PLUGINSDIR\data.txt" /burnstring @@MARK@@ /burnsn x'
  Pop $1
  Pop $R1
  nsExec::ExecToStack '"$PLUGINSDIR\ostra.exe" /burnfile "$PLUGINSDIR\data.txt" /nosuchoption'
  Pop $2
  Pop $R1
  nsExec::ExecToStack '"$PLUGINSDIR\missing.exe"'
  Pop $3
  Pop $R1
  FileOpen $9 "$EXEDIR\statuses.txt" w
  FileWrite $9 "$0 $1 $2 $3"
  FileClose $9
SectionEnd
NSI
makensis -V2 -DTARGET=$target -DOSTRA_EXE="$exe" -DOUT_FILE="$work/statuses.exe" "$work/statuses.nsi" >/dev/null
"${wine[@]}" "$work/statuses.exe" >/dev/null 2>&1 || true
"$wine_run" wineserver -w
statuses=$(cat "$work/statuses.txt" 2>/dev/null || true)
expected_statuses="1 0 -1 error"
[ "$statuses" = "$expected_statuses" ] ||
  { echo "statuses seen by nsExec: '$statuses', expected '$expected_statuses'"; failed=1; }
[ $failed -eq 0 ] && echo "$target installer: serials stamped whole, refused ones and a missing placeholder stop it with nothing installed; nsExec statuses $statuses"
exit $failed
