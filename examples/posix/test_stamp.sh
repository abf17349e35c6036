#!/usr/bin/env bash
# Runs stamp.sh with a built ostra first on PATH: serials stamped whole, serials refused, and the
# tool's own outcomes (placeholder absent, bad command line) each seen as such, and an ostra that
# cannot start never taken for one that stamped.
#   test_stamp.sh PATH/TO/ostra
set -euo pipefail
ostra=$(readlink -f "${1:?usage: $0 path/to/ostra}")
script=$(readlink -f "$(dirname "$0")/stamp.sh")
. "$(dirname "$0")/../test_recipe.sh"
PATH="$(dirname "$ostra"):$PATH"
printf 'serial=@@SERIAL-PLACEHOLDER@@;\n' >"$work/template.dat"

# An ostra that cannot start: the dynamic loader's message and status when the C library is too old.
mkdir "$work/unstartable"
printf '#!/bin/sh\necho "ostra: version GLIBC_2.34 not found" >&2\nexit 1\n' >"$work/unstartable/ostra"
chmod +x "$work/unstartable/ostra"

# A serial `-` stands for no arguments at all; `@stamped` stamps a file stamped already, `@` names
# no file, and `@unstartable` finds an ostra that cannot start.
install() {
  local args=("$work/product.dat" "$1") path=$PATH
  cp "$work/template.dat" "$work/product.dat"
  case $1 in
    -) args=() ;;
    @stamped) sh "$script" "$work/product.dat" SN-1 >/dev/null 2>&1 ;;
    @) args=("" SN-1) ;;
    @unstartable) args=("$work/product.dat" SN-1) path=$work/unstartable:$PATH ;;
  esac
  PATH=$path sh "$script" "${args[@]}" >"$work/out.txt" 2>&1 || status=$?
  installed="$work/product.dat" log="$work/out.txt"
}

t=$work/template.dat
run_cases <<CASES
SN-2026-0042|0|$(stamped "$t" @@SERIAL-PLACEHOLDER@@ SN-2026-0042)|
SN 2026 & 0042|0|$(stamped "$t" @@SERIAL-PLACEHOLDER@@ 'SN 2026 & 0042')|
\$HOME;\`id\`"'\\|0|$(stamped "$t" @@SERIAL-PLACEHOLDER@@ '$HOME;`id`"'"'"'\')|
-burnsn|0|$(stamped "$t" @@SERIAL-PLACEHOLDER@@ -burnsn)|
SN-2026-0042-ABCDEFGHI|0|$(stamped "$t" @@SERIAL-PLACEHOLDER@@ SN-2026-0042-ABCDEFGHI)|
SN-2026-0042-ABCDEFGHIJ|1|$(shown "$t")|the serial must be 1 to 22 bytes long
SN-2026-0042-ÄBCDEFGHI|1|$(shown "$t")|the serial must be 1 to 22 bytes long
|1|$(shown "$t")|the serial must be 1 to 22 bytes long
-|1|$(shown "$t")|usage: stamp.sh FILE SERIAL
@stamped|1|$(stamped "$t" @@SERIAL-PLACEHOLDER@@ SN-1)|not stamped: placeholder absent
@|1|$(shown "$t")|bad command line (status 255)
@unstartable|1|$(shown "$t")|ostra does not run here (status 1)
CASES
[ $failed -eq 0 ] && echo "stamp.sh: serials stamped whole, refused ones left the file alone, the tool's outcomes told apart, an ostra that cannot start seen as a failure"
exit $failed
