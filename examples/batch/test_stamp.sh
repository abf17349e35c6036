#!/usr/bin/env bash
# Runs stamp.cmd under Wine's cmd, beside a built ostra.exe, as a calling batch file would: serials
# that cmd would parse, each stamped whole, the refusals, and the three outcomes of ostra.
#   test_stamp.sh OSTRA.EXE [WINE-LOADER]
set -euo pipefail
exe=$(readlink -f "${1:?usage: $0 path/to/ostra.exe [wine-loader]}")
loader=${2:-wine}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d /tmp/ostra-batch-XXXXXX)
trap 'rm -rf "$work"' EXIT
fail=0
# cmd's label search misreads a batch file with LF line ends.
if grep -q $'[^\r]$' "$here/stamp.cmd"; then echo "stamp.cmd has lines without CRLF"; fail=1; fi
mkdir "$work/no-ostra"
cp "$here/stamp.cmd" "$exe" "$work/"
cp "$here/stamp.cmd" "$work/no-ostra/"
cd "$work"

# exit status # what stamp.cmd says # product.dat afterwards (zero bytes as .) # the calling line
# The calling line is written into a batch file, so that cmd parses it as in an installer's script.
# Wine 8's cmd expands % and ! again inside values it has expanded, which Windows' cmd never does:
# serials holding them are left to real Windows.
while IFS='#' read -r want_status want_text want_data arguments; do
  printf 'serial=@@SERIAL-PLACEHOLDER@@;' >product.dat
  printf '@%s\r\n' "$arguments" >caller.cmd
  status=0
  WINEDEBUG=-all "$loader" cmd /c caller.cmd >out.txt 2>&1 </dev/null || status=$?
  data=$(tr '\0' '.' <product.dat)
  if [ $status -ne "$want_status" ] || ! grep -qF -- "$want_text" <(cat out.txt; echo) ||
     [ "$data" != "$want_data" ]; then
    echo "$arguments: status $status, file '$data', output:"; cat out.txt; fail=1
  fi
done <<'CASES'
0##serial=SN-2026-0042..........;#stamp.cmd product.dat SN-2026-0042
0##serial=SN 2026 42............;#stamp.cmd "product.dat" "SN 2026 42"
0##serial=A&echo HI|sort^C......;#stamp.cmd product.dat "A&echo HI|sort^C"
0##serial=SN-2026\..............;#stamp.cmd product.dat "SN-2026\"
0##serial=SN-2026-0042-ABCDEFGHI;#stamp.cmd product.dat SN-2026-0042-ABCDEFGHI
1#the serial is longer than the placeholder#serial=@@SERIAL-PLACEHOLDER@@;#stamp.cmd product.dat SN-2026-0042-ABCDEFGHIJ
1#no serial given#serial=@@SERIAL-PLACEHOLDER@@;#stamp.cmd product.dat ""
1#usage: stamp.cmd FILE SERIAL#serial=@@SERIAL-PLACEHOLDER@@;#stamp.cmd product.dat SN 2026 42
1#missing.dat not stamped: placeholder absent#serial=@@SERIAL-PLACEHOLDER@@;#stamp.cmd missing.dat SN-2026-0042
1#ostra.exe gave status 9009#serial=@@SERIAL-PLACEHOLDER@@;#no-ostra\stamp.cmd product.dat SN-2026-0042
CASES
[ $fail -eq 0 ] && echo "stamp.cmd: serials stamped whole, refusals and each outcome of ostra seen as such"
exit $fail
