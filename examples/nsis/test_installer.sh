#!/usr/bin/env bash
# Builds the example installer around a built ostra.exe and installs it silently under Wine, each
# case compared byte for byte: serials stamped whole, with every character cmd and NSIS give a
# meaning to (both placeholders checked); serials refused (2) and a data file without either
# placeholder (3), each with nothing installed; ostra.exe never installed; a %TEMP% the code page
# cannot spell. One installation installed again and upgraded: without /SERIAL= the remembered
# serial, with it the one given; a failed upgrade, and an installed file that another program
# holds, each leaving the earlier installation as it was. A small installer of the test's own shows
# the statuses that nsExec reports: 1 for a stamp, 0 for a marker that is absent, -1 for a bad
# option, "error" for a missing program.
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
sed 's/data file/data file, version 2/' "$here/product.dat" >"$work/v2.dat"
build setup.exe
build no-serial-placeholder.exe "$work/no-serial.dat"
build no-build-placeholder.exe "$work/no-build.dat"
build v2.exe "$work/v2.dat"
# What holds a file as a virus scanner may: open, shared with no one, for SECONDS.
compiler=i686-w64-mingw32-gcc
[ "$target" != amd64-unicode ] || compiler=x86_64-w64-mingw32-gcc
"$compiler" -municode -O2 -o "$work/hold.exe" -x c - <<'C'
#include <windows.h>
#include <stdlib.h>
int wmain(int argc, wchar_t** argv) {
  if (argc != 3) return 2;
  HANDLE file = CreateFileW(argv[1], GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
  if (file == INVALID_HANDLE_VALUE) return 1;
  Sleep(1000 * _wtoi(argv[2]));
  return 0;
}
C

# Each installation runs from a batch file, so that the installer gets its command line as a user
# types it, a serial with a space in double quotes (Wine would quote the whole option); `%` is
# doubled there to stay itself, and so is `^` outside quotes. A serial that begins with `"` is
# written as it is, and so is a whole option in quotes, `"/SERIAL=..."`. Each case installs into a
# fresh folder, or with `again` set into the folder of the case before; with `hold` set another
# program holds the installed data file meanwhile, and with `temp` set %TEMP% is a folder of that
# name, written for cmd in its code page, 437 (byte EA: Omega, which code page 1252 lacks). The
# serial `@remove` runs the folder's uninstaller instead.
cases=0
windows_work=$("${wine[@]}" winepath -w "$work")
install() {
  local dir option= folder program=$setup
  [ -n "${again:-}" ] || cases=$((cases + 1))
  dir="$work/install$cases"
  case $1 in
    -) ;;
    @remove) program="${dir##*/}\\uninstall.exe" ;;
    '"/SERIAL='*) option=$1 ;;
    '"'*) option="/SERIAL=$1" ;;
    *[$' \t&|<>()']*) option="/SERIAL=\"${1//%/%%}\"" ;;
    *) option="/SERIAL=${1//%/%%}" option=${option//^/^^} ;;
  esac
  if [ -n "${temp:-}" ]; then
    mkdir -p "$work/$temp"
    folder="$windows_work\\${temp//Ω/$'\xea'}"
    printf 'set "TEMP=%s"\r\nset "TMP=%s"\r\n' "$folder" "$folder" >"$dir.cmd"
  fi
  if [ -n "${hold:-}" ]; then
    # hold.exe holds the file for 10 seconds; the installer starts 2 seconds later.
    printf 'start "" /b "%s\\hold.exe" "%s\\Example Product\\product.dat" 10\r\n%s\r\n' \
      "$windows_work" "$windows_work\\${dir##*/}" 'ping -n 3 127.0.0.1 >nul' >>"$dir.cmd"
  fi
  printf '@"%s\\%s" /S %s /D=%s\\%s\r\n' "$windows_work" "$program" "$option" "$windows_work" \
    "${dir##*/}" >>"$dir.cmd"
  if [ "$1" = @remove ]; then
    printf '@"%s\\%s" /S\r\n' "$windows_work" "$program" >"$dir.cmd"
  fi
  # Wine's errors are kept with the installer's output: on a failure they may tell why.
  "$wine_run" --keep-errors "$loader" cmd /c "$dir.cmd" >"$dir.log" 2>&1 || status=$?
  rm -f "$dir.cmd"
  # The holder outlives the batch file, and the uninstaller runs from a copy of itself that it
  # starts: the next case waits for them to end.
  if [ -n "${hold:-}" ] || [ "$1" = @remove ]; then "$wine_run" wineserver -w; fi
  installed="$dir/Example Product/product.dat" log="$dir.log"
}

# The data file with the serial and the build id stamped, of version 1 or 2.
both() { stamped "$here/product.dat" @@SERIAL-PLACEHOLDER@@ "$1" @@BUILD-PLACEHOLDER@@ "build 77"; }
both2() { stamped "$work/v2.dat" @@SERIAL-PLACEHOLDER@@ "$1" @@BUILD-PLACEHOLDER@@ "build 77"; }
tab=$'\t'
setup=setup.exe run_cases <<CASES
SN-2026-0042|0|$(both SN-2026-0042)
X|0|$(both X)
SN 2026 & 0042|0|$(both 'SN 2026 & 0042')
"/SERIAL=SN 2026 42"|0|$(both 'SN 2026 42')
^%PATH%!|0|$(both '^%PATH%!')
-&<>()[]{};,=+~\`'\$*?|0|$(both "-&<>()[]{};,=+~\`'\$*?")
/S @x #y \\n\\t\\\\|0|$(both '/S @x #y \n\t\\')
@SN-2026-0042|0|$(both @SN-2026-0042)
#SN-2026-0042|0|$(both '#SN-2026-0042')
SN-2026-0042-ABCDEFGH|0|$(both SN-2026-0042-ABCDEFGH)
SN-2026-0042-ABCDEFGHI|0|$(both SN-2026-0042-ABCDEFGHI)
'SN'|0|$(both "'SN'")
SN/2026/42|0|$(both SN/2026/42)
SN-42\\|0|$(both 'SN-42\')
SN-2026-0042-ABCDEFGHIJ|2|absent
|2|absent
-|2|absent
SN"42|2|absent
"SN"42"|2|absent
SN-Ω-2026|2|absent
SN-é-2026|2|absent
SN${tab}42|2|absent
CASES
temp=tmpΩ setup=setup.exe run_cases <<CASES
SN-2026-0042|0|$(both SN-2026-0042)
CASES
setup=no-serial-placeholder.exe run_cases <<CASES
SN-2026-0042|3|absent
CASES
setup=no-build-placeholder.exe run_cases <<CASES
SN-2026-0042|3|absent
CASES
# One installation, installed again and upgraded in its folder; then a downgrade.
setup=setup.exe run_cases <<CASES
SN-OLD-1|0|$(both SN-OLD-1)
CASES
again=1 setup=setup.exe run_cases <<CASES
-|0|$(both SN-OLD-1)
SN-NEW-2|0|$(both SN-NEW-2)
CASES
again=1 setup=v2.exe run_cases <<CASES
-|0|$(both2 SN-NEW-2)
CASES
again=1 setup=no-serial-placeholder.exe run_cases <<CASES
SN-NEW-3|3|$(both2 SN-NEW-2)
CASES
again=1 hold=1 setup=setup.exe run_cases <<CASES
SN-NEW-4|6|$(both2 SN-NEW-2)
CASES
again=1 setup=setup.exe run_cases <<CASES
-|0|$(both SN-NEW-2)
@remove|0|absent
-|2|absent
CASES
# Neither ostra.exe nor anything but the stamped data file and the uninstaller is ever installed.
left=$(cd "$work" && find install*/ tmp*/ -type f ! -name product.dat ! -name uninstall.exe)
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
