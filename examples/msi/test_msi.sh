#!/usr/bin/env bash
# Builds the package with build.sh around a built ostra.exe and runs it with msiexec under Wine:
# install, repairs, upgrades (with the remembered serial, or a new one given), a downgrade and
# uninstall, each leaving the data file stamped with the serial it should hold; serials of every
# kind, each stamped byte for byte or refused with nothing installed; folders with spaces and
# characters the code page lacks; the build's refusal of a data file without the placeholder; and
# in the package's tables what Wine cannot show: the upgrade's schedule, the serial kept out of the
# log, the program that runs as LocalSystem kept out of users' reach.
#   test_msi.sh OSTRA.EXE [WINE-LOADER [ARCHITECTURE]]     (ARCHITECTURE x86 or amd64)
set -euo pipefail
exe=$(readlink -f "${1:?usage: $0 path/to/ostra.exe [wine-loader [x86|amd64]]}")
loader=${2:-wine}
arch=x86
[ "${3:-x86}" = amd64 ] && arch=x64
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../test_recipe.sh"
wine=("$wine_run" "$loader")
cd "$work"
folder="$("${wine[@]}" winepath -w "$work/installed")\\"
msiexec() {  # msiexec ARGUMENTS...: runs it quietly into $folder, prints its status
  local status=0
  "${wine[@]}" msiexec "$@" /qn "INSTALLFOLDER=$folder" </dev/null >/dev/null 2>&1 || status=$?
  "$wine_run" wineserver -w
  echo $status
}
# Whatever a failed check left installed is removed, so that it cannot affect later runs.
trap 'for p in v1 v2 serial; do msiexec /x $p.msi >/dev/null; done; rm -rf "$work"' EXIT

cp "$exe" ostra.exe
cp "$here/product.dat" v1.dat
printf 'edition=2\r\n' | cat v1.dat - >v2.dat
for package in v1:1.0.0 v2:2.0.0; do
  cp "${package%:*}.dat" product.dat
  bash "$here/build.sh" $arch "${package#*:}" "${package%:*}.msi" 2>/dev/null
done
# A data file without the placeholder could never be stamped: the build refuses it.
printf 'serial=none;' >product.dat
if bash "$here/build.sh" $arch 1.0.0 none.msi 2>build.txt ||
   ! grep -q 'holds no placeholder' build.txt; then
  echo "$arch package: built around a data file without the placeholder"; failed=1
fi

# Each case runs msiexec with its arguments, after what the words before them say: "rm" deletes
# the installed data file, "unstamp" puts the unstamped one in its place, and "hold" has another
# program hold it open while msiexec runs, as a virus scanner may. Windows Installer fails with
# 1603, Wine with 1627: any failure will do. A file in use would make a repair end with 3010
# (success, restart required; 194 in the shell), and the restart put back the unstamped file: the
# package refuses such a repair. (Wine's rollback keeps that replacement, Windows' undoes it.)
install() {
  local arguments=$1 holder=
  while :; do
    case ${arguments%% *} in
      rm) rm -f installed/product.dat ;;
      unstamp) cp v1.dat installed/product.dat ;;
      hold) "${wine[@]}" cmd /c 'ping -n 20 127.0.0.1 >nul <installed\product.dat' >/dev/null 2>&1 &
            holder=$!
            sleep 4 ;;
      *) break ;;
    esac
    arguments=${arguments#* }
  done
  # shellcheck disable=SC2086  # the arguments are words
  status=$(msiexec $arguments)
  case $status in 0|194) status=0 ;; *) status=failed ;; esac
  [ -z "$holder" ] || wait "$holder" || true
  installed=installed/product.dat
}
v1() { stamped v1.dat @@SERIAL-PLACEHOLDER@@ "$1"; }
v2() { stamped v2.dat @@SERIAL-PLACEHOLDER@@ "$1"; }
# A serial given to an upgrade is stamped and remembered; a repair refuses another than the one
# it keeps; a downgrade is refused; removing the product forgets the serial.
run_cases <<CASES
/i v1.msi SERIAL=SN-2026-0042|0|$(v1 SN-2026-0042)
/i v1.msi REINSTALL=ALL REINSTALLMODE=amus|0|$(v1 SN-2026-0042)
/i v1.msi REINSTALL=ALL REINSTALLMODE=omus|0|$(v1 SN-2026-0042)
rm /i v1.msi REINSTALL=ALL REINSTALLMODE=omus|0|$(v1 SN-2026-0042)
/i v1.msi REINSTALL=ALL REINSTALLMODE=amus SERIAL=SN-2026-0077|failed|$(v1 SN-2026-0042)
hold /i v1.msi REINSTALL=ALL REINSTALLMODE=omus|failed|$(v1 SN-2026-0042)
unstamp hold /i v1.msi REINSTALL=ALL REINSTALLMODE=omus|failed|$(shown v1.dat)
/i v2.msi SERIAL=SN-2026-0099|0|$(v2 SN-2026-0099)
rm /i v2.msi REINSTALL=ALL REINSTALLMODE=omus|0|$(v2 SN-2026-0099)
/i v1.msi SERIAL=SN-2026-0042|failed|$(v2 SN-2026-0099)
/x v2.msi|0|absent
/i v1.msi SERIAL=SN-2026-0042|0|$(v1 SN-2026-0042)
rm /i v2.msi|0|$(v2 SN-2026-0042)
/x v2.msi|0|absent
/i v1.msi|failed|absent
CASES
left=$(find installed -type f 2>/dev/null || true)
[ -z "$left" ] || { echo "$arch package: left installed after the cases: $left"; failed=1; }

# Serials of every kind, each stamped byte for byte (compared with cmp) or refused with nothing
# installed and the reason in the log. Wine's msiexec splits quoted values on its command line
# unlike Windows' (SERIAL="A B" arrives as a backslash), so most go into the package's Property
# table; those SQL cannot carry (a ', characters beyond ASCII) go on the command line unquoted.
serial_case() {  # table|line SERIAL 0|failed [TEXT THE LOG HOLDS]
  local way=$1 serial=$2 want=$3 text=${4:-} status
  cp v1.msi serial.msi
  if [ "$way" = table ]; then
    msibuild serial.msi -q "INSERT INTO Property (Property, Value) VALUES ('SERIAL', '$serial')"
    status=$(msiexec /i serial.msi /l*v log.txt)
  else
    status=$(LC_ALL=C.UTF-8 msiexec /i serial.msi "SERIAL=$serial" /l*v log.txt)
  fi
  [ "$status" = 0 ] || status=failed
  expect "$serial" >want.dat
  if [ "$status" != "$want" ] || { [ "$want" = 0 ] && ! cmp -s want.dat installed/product.dat; } ||
     { [ "$want" = failed ] && [ -e installed/product.dat ]; } ||
     { [ -n "$text" ] && ! grep -aqF -- "$text" log.txt; }; then
    echo "$arch package: serial '$serial' ($way): status $status," \
      "expected $want${text:+, and '$text' in the log}"
    failed=1
  fi
  [ "$status" = failed ] || msiexec /x serial.msi >/dev/null
}
expect() {  # v1.dat stamped with SERIAL's bytes, as ostra stamps them
  python3 -c 'import os, sys
data, marker = open("v1.dat", "rb").read(), b"@@SERIAL-PLACEHOLDER@@"
sys.stdout.buffer.write(data.replace(marker, os.fsencode(sys.argv[1]).ljust(len(marker), b"\0"), 1))' "$1"
}
while IFS='|' read -r way want text serial; do
  serial_case "$way" "$(printf '%b' "$serial")" "$want" "$text"
done <<'CASES'
table|0||x
table|0||&|<>^%PATH%!;,=()[]{}
table|0||-*?~`$ &echo I>x^%%!SN
table|0||/SERIAL=@x|sort\\n\\t\\
table|0||@SN 2026
table|failed|longer than the placeholder|SN-2026-0042-ABCDEFGHIJ
table|failed|double quote|SN "2026" 42
table|failed|printable ASCII|SN\t2026
line|0||it's-SN
line|failed|printable ASCII|SN-Ω-2026
line|failed|printable ASCII|SN-€
CASES
# A serial that begins with # is remembered as text, not as a number, for an upgrade; in a folder
# with a space and a character the code page lacks, which ostra is given by its short name.
folder="$(LC_ALL=C.UTF-8 "${wine[@]}" winepath -w "$work/Product Ω")\\"
cp v1.msi serial.msi
msibuild serial.msi -q "INSERT INTO Property (Property, Value) VALUES ('SERIAL', '#4 2')"
LC_ALL=C.UTF-8 msiexec /i serial.msi >/dev/null
expect '#4 2' | cmp -s - "$work/Product Ω/product.dat" ||
  { echo "$arch package: not stamped in a folder the code page cannot spell"; failed=1; }
LC_ALL=C.UTF-8 msiexec /i v2.msi >/dev/null
expect '#4 2' | cat - <(printf 'edition=2\r\n') | cmp -s - "$work/Product Ω/product.dat" ||
  { echo "$arch package: an upgrade lost the remembered serial #4 2"; failed=1; }
LC_ALL=C.UTF-8 msiexec /x v2.msi >/dev/null
folder="$("${wine[@]}" winepath -w "$work/installed")\\"

# Wine runs RemoveExistingProducts as an uninstall of its own that no rollback undoes, wherever it
# is scheduled, and writes hidden properties to its log all the same: the tables that keep the
# earlier version on a failed upgrade and the serial out of Windows' log are checked instead.
# Every property that holds the serial is hidden, both actions that receive it have HideTarget,
# and the program that the deferred action runs is in the Binary table, not an installed file.
table() { msiinfo export v1.msi "$1" | tail -n +4 | tr -d '\r'; }
value() {  # value TABLE KEY [FIELD]: the FIELD (2) of the row whose first field is KEY
  table "$1" | awk -F '\t' -v key="$2" -v field="${3:-2}" '$1 == key { print $field }'
}
after_initialize=$(table InstallExecuteSequence |
  awk -F '\t' -v start="$(value InstallExecuteSequence InstallInitialize 3)" '$3 > start' |
  sort -t $'\t' -k 3 -n | head -n 1 | cut -f 1)
[ "$after_initialize" = RemoveExistingProducts ] ||
  { echo "$arch package: $after_initialize, not RemoveExistingProducts, follows InstallInitialize"; failed=1; }
[ "$(value Property MsiHiddenProperties)" = "SERIAL;REMEMBERED_SERIAL;SERIAL_STORED;StampSerial" ] &&
  [[ ";$(value Property SecureCustomProperties);" == *";SERIAL;"* ]] &&
  (( $(value CustomAction SetStampSerial) & $(value CustomAction StampSerial) & 8192 )) ||
  { echo "$arch package: SERIAL not hidden, not secure, or an action without HideTarget"; failed=1; }
[ -n "$(value Binary "$(value CustomAction StampSerial 3)" 1)" ] && ! table File | grep -qi '\.exe' ||
  { echo "$arch package: the stamp runs a program installed where users may replace it"; failed=1; }

if [ $arch = x64 ]; then  # into the 64-bit Program Files folder when the folder is not given
  program_files=$("${wine[@]}" winepath -u 'C:\Program Files' 2>/dev/null)
  "${wine[@]}" msiexec /i v1.msi /qn SERIAL=SN-2026-0042 </dev/null >/dev/null 2>&1 || true
  "$wine_run" wineserver -w
  [ -f "$program_files/Ostra Example Product/product.dat" ] ||
    { echo "x64 package: not installed into $program_files"; failed=1; }
  "${wine[@]}" msiexec /x v1.msi /qn </dev/null >/dev/null 2>&1 || true
  "$wine_run" wineserver -w
fi
# The folder that held ostra.exe and the serial's argument file is gone after every run.
left=$(find "$("${wine[@]}" winepath -u 'C:\')" -maxdepth 4 -name 'ostra-[0-9]*' 2>/dev/null || true)
[ -z "$left" ] || { echo "$arch package: left behind: $left"; failed=1; }
[ $failed -eq 0 ] && echo "$arch package: installs, repairs, upgrades, serials, folders and tables as expected"
exit $failed
