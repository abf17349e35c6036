#!/usr/bin/env bash
# Builds the package with build.sh around a built ostra.exe and runs it with msiexec under Wine:
# install, repairs, upgrades and uninstall, each leaving the data file stamped with the serial
# the package remembers (a deleted file comes back stamped, an upgrade's new file arrives stamped);
# serials that cmd would parse, each stamped whole; the failures (no serial, a refused one, no
# placeholder), each rolled back with nothing left installed; the serial kept out of the log by
# the package's tables; and that the x64 package installs into the 64-bit Program Files folder.
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
msiexec() {  # msiexec ARGUMENTS...: runs it quietly into $work/installed, prints its status
  local status=0
  "${wine[@]}" msiexec "$@" /qn "INSTALLFOLDER=$folder" </dev/null >/dev/null 2>&1 || status=$?
  "$wine_run" wineserver -w
  echo $status
}
# Whatever a failed check left installed is removed, so that it cannot affect later runs.
trap 'for p in v1 v2 serial none; do msiexec /x $p.msi >/dev/null; done; rm -rf "$work"' EXIT

cp "$exe" ostra.exe
cp "$here/product.dat" v1.dat
printf 'edition=2\r\n' | cat v1.dat - >v2.dat
printf 'serial=none;' >none.dat
for package in v1:1.0.0 v2:2.0.0 none:1.0.0; do
  cp "${package%:*}.dat" product.dat
  bash "$here/build.sh" $arch "${package#*:}" "${package%:*}.msi" 2>/dev/null
done

# Each case runs msiexec with its arguments, after what the words before them say: "rm" deletes
# the installed data file, "unstamp" puts the unstamped one in its place, and "hold" has another
# program hold it open while msiexec runs, as a virus scanner may. Windows Installer fails with
# 1603, Wine with 1627: any failure will do. A file in use makes a repair end with 3010 (success,
# restart required), which reaches the shell as 194.
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
# The serial given to an upgrade loses to the remembered one; removing the product forgets it.
run_cases <<CASES
/i v1.msi SERIAL=SN-2026-0042|0|$(v1 SN-2026-0042)
/i v1.msi REINSTALL=ALL REINSTALLMODE=amus|0|$(v1 SN-2026-0042)
/i v1.msi REINSTALL=ALL REINSTALLMODE=omus|0|$(v1 SN-2026-0042)
rm /i v1.msi REINSTALL=ALL REINSTALLMODE=omus|0|$(v1 SN-2026-0042)
hold /i v1.msi REINSTALL=ALL REINSTALLMODE=omus|0|$(v1 SN-2026-0042)
unstamp hold /i v1.msi REINSTALL=ALL REINSTALLMODE=omus|failed|$(shown v1.dat)
/i v2.msi SERIAL=SN-2026-0099|0|$(v2 SN-2026-0042)
/x v2.msi|0|absent
/i v1.msi SERIAL=SN-2026-0042|0|$(v1 SN-2026-0042)
rm /i v2.msi|0|$(v2 SN-2026-0042)
/x v2.msi|0|absent
/i v1.msi|failed|absent
/i v1.msi SERIAL=SN-2026-0042-ABCDEFGHIJ|failed|absent
/i v1.msi SERIAL=#42|failed|absent
/i none.msi SERIAL=SN-2026-0042|failed|absent
CASES
left=$(find installed -type f 2>/dev/null || true)
[ -z "$left" ] || { echo "$arch package: left installed after the cases: $left"; failed=1; }

# Wine's msiexec splits quoted values on its command line unlike Windows' (SERIAL="A B" arrives as
# a backslash), so these serials go into the package's Property table instead. A serial that cmd
# parsed would run as a command, be cut at a space, or change; the last fills the placeholder.
install() {
  cp v1.msi serial.msi
  msibuild serial.msi -q "INSERT INTO Property (Property, Value) VALUES ('SERIAL', '$1')"
  status=$(msiexec /i serial.msi)
  cp installed/product.dat stamped.dat 2>/dev/null || rm -f stamped.dat
  msiexec /x serial.msi >/dev/null
  installed=stamped.dat
}
case_separator='#' run_cases <<CASES
AB&echo INJECTED>x.txt#0#$(v1 'AB&echo INJECTED>x.txt')
AB|sort#0#$(v1 'AB|sort')
SN "2026" 42#0#$(v1 'SN "2026" 42')
AB^^CD#0#$(v1 'AB^^CD')
%PATH%#0#$(v1 %PATH%)
SN 2026 42#0#$(v1 'SN 2026 42')
SN-2026\\#0#$(v1 'SN-2026\')
SN-2026-0042-ABCDEFGHI#0#$(v1 SN-2026-0042-ABCDEFGHI)
CASES

# Wine writes hidden properties to the log all the same: the tables that keep the serial out of
# Windows' log are checked instead. The serial is in SERIAL and in StampSerial, the property that
# carries CustomActionData to the deferred action; both actions that receive it have HideTarget.
value() {  # value TABLE KEY: the second field of the row whose first is KEY
  msiinfo export v1.msi "$1" | tail -n +4 | tr -d '\r' | awk -F '\t' -v key="$2" '$1 == key { print $2 }'
}
[ "$(value Property MsiHiddenProperties)" = "SERIAL;StampSerial" ] &&
  [[ ";$(value Property SecureCustomProperties);" == *";SERIAL;"* ]] &&
  (( $(value CustomAction SetStampSerial) & $(value CustomAction StampSerial) & 8192 )) ||
  { echo "$arch package: SERIAL not hidden, not secure, or an action without HideTarget"; failed=1; }

if [ $arch = x64 ]; then  # into the 64-bit Program Files folder when the folder is not given
  program_files=$("${wine[@]}" winepath -u 'C:\Program Files' 2>/dev/null)
  "${wine[@]}" msiexec /i v1.msi /qn SERIAL=SN-2026-0042 </dev/null >/dev/null 2>&1 || true
  "$wine_run" wineserver -w
  [ -f "$program_files/Ostra Example Product/product.dat" ] ||
    { echo "x64 package: not installed into $program_files"; failed=1; }
  "${wine[@]}" msiexec /x v1.msi /qn </dev/null >/dev/null 2>&1 || true
  "$wine_run" wineserver -w
fi
[ $failed -eq 0 ] && echo "$arch package: install, repairs, upgrades, uninstall, hostile serials, failures and hidden serial as expected"
exit $failed
