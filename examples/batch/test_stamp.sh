#!/usr/bin/env bash
# Runs stamp.cmd under Wine's cmd, beside a built ostra.exe, as a calling batch file would: serials
# that cmd would parse, each stamped whole, the refusals, and the three outcomes of ostra.
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

# The "serial" of each case is the whole calling line, written into a batch file so that cmd parses
# it as in an installer's script; it may hold "|", so the table's columns are parted by "#".
install() {
  printf 'serial=@@SERIAL-PLACEHOLDER@@;' >product.dat
  printf '@%s\r\n' "$1" >caller.cmd
  "$wine_run" "$loader" cmd /c caller.cmd >out.txt 2>&1 </dev/null || status=$?
  installed="$work/product.dat" log="$work/out.txt"
}

# calling line # exit status # product.dat afterwards (zero bytes as .) # what stamp.cmd says
# Wine 8's cmd expands % and ! again inside values it has expanded, which Windows' cmd never does:
# serials holding them are left to real Windows.
case_separator='#' run_cases <<'CASES'
stamp.cmd product.dat SN-2026-0042#0#serial=SN-2026-0042..........;#
stamp.cmd "product.dat" "SN 2026 42"#0#serial=SN 2026 42............;#
stamp.cmd product.dat "A&echo HI|sort^C"#0#serial=A&echo HI|sort^C......;#
stamp.cmd product.dat "SN-2026\"#0#serial=SN-2026\..............;#
stamp.cmd product.dat SN-2026-0042-ABCDEFGHI#0#serial=SN-2026-0042-ABCDEFGHI;#
stamp.cmd product.dat SN-2026-0042-ABCDEFGHIJ#1#serial=@@SERIAL-PLACEHOLDER@@;#the serial is longer than the placeholder
stamp.cmd product.dat ""#1#serial=@@SERIAL-PLACEHOLDER@@;#no serial given
stamp.cmd product.dat SN 2026 42#1#serial=@@SERIAL-PLACEHOLDER@@;#usage: stamp.cmd FILE SERIAL
stamp.cmd missing.dat SN-2026-0042#1#serial=@@SERIAL-PLACEHOLDER@@;#missing.dat not stamped: placeholder absent
no-ostra\stamp.cmd product.dat SN-2026-0042#1#serial=@@SERIAL-PLACEHOLDER@@;#ostra.exe gave status 9009
CASES
[ $failed -eq 0 ] && echo "stamp.cmd: serials stamped whole, refusals and each outcome of ostra seen as such"
exit $failed
