#!/usr/bin/env bash
# Runs stamp.sh with a built ostra first on PATH through its three outcomes.
#   test_stamp.sh PATH/TO/ostra
set -euo pipefail
ostra=$(readlink -f "${1:?usage: $0 path/to/ostra}")
script=$(readlink -f "$(dirname "$0")/stamp.sh")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
printf 'serial=@@SERIAL@@;' >product.dat

fail=0
# file | serial | exit status | what stamp.sh says | product.dat afterwards
while IFS='|' read -r file serial want_status want_text want_data; do
  status=0
  PATH="$(dirname "$ostra"):$PATH" sh "$script" "$file" "$serial" >out.txt 2>&1 || status=$?
  data=$(tr '\0' '.' <product.dat)
  if [ $status -ne "$want_status" ] || ! grep -qF -- "$want_text" <(cat out.txt; echo) ||
     [ "$data" != "$want_data" ]; then
    echo "stamp.sh '$file' '$serial': status $status, file '$data', output:"; cat out.txt; fail=1
  fi
done <<'CASES'
product.dat|SN-0042|0||serial=SN-0042...;
product.dat|SN-0042|1|not stamped: placeholder absent|serial=SN-0042...;
|SN-0042|1|bad command line (status 255)|serial=SN-0042...;
CASES
[ $fail -eq 0 ] && echo "stamp.sh: stamped, not stamped and bad command line each seen as such"
exit $fail
