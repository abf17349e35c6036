#!/usr/bin/env bash
# Runs stamp.cmd with `cmd /c` under Wine, beside a built ostra.exe, through its three outcomes.
#   test_stamp.sh OSTRA.EXE [WINE-LOADER]
set -euo pipefail
exe=$(readlink -f "${1:?usage: $0 path/to/ostra.exe [wine-loader]}")
loader=${2:-wine}
work=$(mktemp -d /tmp/ostra-batch-XXXXXX)
trap 'rm -rf "$work"' EXIT
cp "$(dirname "$0")/stamp.cmd" "$exe" "$work/"
printf 'serial=@@SERIAL@@;' >"$work/product.dat"
cd "$work"

fail=0
# serial | exit status | what stamp.cmd says | product.dat afterwards
while IFS='|' read -r serial want_status want_text want_data; do
  status=0
  WINEDEBUG=-all "$loader" cmd /c stamp.cmd product.dat $serial >out.txt 2>&1 </dev/null || status=$?
  data=$(tr '\0' '.' <product.dat)
  if [ $status -ne "$want_status" ] || ! grep -qF -- "${want_text:-}" <(cat out.txt; echo) || [ "$data" != "$want_data" ]; then
    echo "stamp.cmd product.dat $serial: status $status, file '$data', output:"; cat out.txt; fail=1
  fi
done <<'CASES'
SN-0042|0||serial=SN-0042...;
SN-0042|1|not stamped: placeholder absent|serial=SN-0042...;
|1|bad command line (status -1)|serial=SN-0042...;
CASES
[ $fail -eq 0 ] && echo "stamp.cmd: stamped, not stamped and bad command line each seen as such"
exit $fail
