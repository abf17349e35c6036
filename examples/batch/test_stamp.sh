#!/usr/bin/env bash
# Runs stamp.cmd under Wine's cmd, beside a built ostra.exe, as an installer's batch file runs it:
# the serial set in SERIAL, then `call stamp.cmd FILE` with a step after it, which must run.
# Serials that cmd would parse, each stamped whole; the refusals; the three outcomes of ostra.
#   test_stamp.sh OSTRA.EXE [WINE-LOADER]
set -euo pipefail
exe=$(readlink -f "${1:?usage: $0 path/to/ostra.exe [wine-loader]}")
loader=${2:-wine}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../test_recipe.sh"
# cmd's label search misreads a batch file with LF line ends.
if grep -q $'[^\r]$' "$here/stamp.cmd"; then echo "stamp.cmd has lines without CRLF"; failed=1; fi
mkdir "$work/no-ostra"
cp "$here/stamp.cmd" "$exe" "$work/"
cp "$here/stamp.cmd" "$work/no-ostra/"
cd "$work"

# The caller: SERIAL set as the serial is written in a batch file (`-`: not set), or with
# `environment` set, in the environment the caller inherits, then stamp.cmd called with `stamp` and
# `file` (the test's defaults unless a table sets them), then a later step. %TEMP% is a folder of
# the test's, with `omega` set one whose name code page 1252 cannot spell (written for cmd in its
# code page, 437, where byte EA is Omega). No argument file may be left in it.
mkdir "$work/temp" "$work/tempΩ"
windows_temp="$("$wine_run" "$loader" winepath -w "$work")\temp"
install() {
  local serial=() temp=$windows_temp
  [ -z "${omega:-}" ] || temp+=$'\xea'
  printf 'serial=@@SERIAL-PLACEHOLDER@@;' >product.dat
  {
    printf '@echo off\r\nset "TEMP=%s"\r\n' "$temp"
    [ "$1" = - ] || [ -n "${environment:-}" ] || printf 'set "SERIAL=%s"\r\n' "$1"
    printf 'call %s %s\r\nif errorlevel 1 exit /b 1\r\necho the step after stamp.cmd ran\r\n' \
      "${stamp:-stamp.cmd}" "${file:-"product.dat"}"
  } >caller.cmd
  [ -z "${environment:-}" ] || serial=("SERIAL=$1")
  env "${serial[@]}" "$wine_run" "$loader" cmd /c caller.cmd >out.txt 2>&1 </dev/null || status=$?
  installed="$work/product.dat" log="$work/out.txt"
  local left
  left=$(find temp tempΩ -type f)
  if [ -n "$left" ]; then echo "left in TEMP: $left" >>out.txt; rm -f $left; status=left; fi
}

# serial as the caller sets it % exit status % product.dat afterwards % output
# The serials may hold "|" and "#": the table's columns are parted by "%". Wine 8's cmd expands %
# and ! again inside values it has expanded, which Windows' cmd never does: serials holding them
# are left to real Windows.
ran='the step after stamp.cmd ran'
t=$work/template.dat
printf 'serial=@@SERIAL-PLACEHOLDER@@;' >"$t"
unchanged=$(shown "$t")
s() { stamped "$t" @@SERIAL-PLACEHOLDER@@ "$1"; }
case_separator='%' run_cases <<CASES
SN-2026-0042%0%$(s SN-2026-0042)%$ran
X%0%$(s X)%$ran
SN 2026 42%0%$(s 'SN 2026 42')%$ran
A&echo HI|sort^C%0%$(s 'A&echo HI|sort^C')%$ran
-burnsn <x> (y);=,'\`~%0%$(s "-burnsn <x> (y);=,'\`~")%$ran
/? @SN \\n\\t\\\\%0%$(s '/? @SN \n\t\\')%$ran
@SN-2026-0042%0%$(s @SN-2026-0042)%$ran
SN-2026\\%0%$(s 'SN-2026\')%$ran
SN-2026-0042-ABCDEFGH%0%$(s SN-2026-0042-ABCDEFGH)%$ran
SN-2026-0042-ABCDEFGHI%0%$(s SN-2026-0042-ABCDEFGHI)%$ran
SN-2026-0042-ABCDEFGHIJ%1%$unchanged%the serial is longer than the placeholder
SN"42%1%$unchanged%a serial cannot hold a double quote
-%1%$unchanged%no serial given
CASES
# Characters a code page would change, counted as characters or bytes; control characters.
environment=1 case_separator='%' run_cases <<CASES
#SN-2026-0042%0%$(s '#SN-2026-0042')%$ran
SN-Ω-2026%1%$unchanged%not printable ASCII
SN-€%1%$unchanged%not printable ASCII
ΩΩΩΩΩΩΩΩΩΩΩΩΩΩΩΩΩΩΩΩΩΩ%1%$unchanged%not printable ASCII
SN$(printf '\t')42%1%$unchanged%not printable ASCII
SN$(printf '\033')42%1%$unchanged%not printable ASCII
CASES
omega=1 case_separator='%' run_cases <<CASES
SN-2026-0042%0%$(s SN-2026-0042)%$ran
CASES
file='"product.dat" SN-2026-0042' case_separator='%' run_cases <<CASES
SN-2026-0042%1%$unchanged%usage: set "SERIAL=..." then call stamp.cmd FILE
CASES
file=missing.dat case_separator='%' run_cases <<CASES
SN-2026-0042%1%$unchanged%missing.dat not stamped: placeholder absent
CASES
stamp='no-ostra\stamp.cmd' case_separator='%' run_cases <<CASES
SN-2026-0042%1%$unchanged%ostra.exe gave status 9009
CASES
[ $failed -eq 0 ] && echo "stamp.cmd: serials stamped whole and the caller goes on; refusals and each outcome of ostra seen as such"
exit $failed
