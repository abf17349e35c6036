#!/usr/bin/env bash
# Runs stamp.sh with a built ostra first on PATH, the serial given as its argument and on standard
# input (`-`): serials stamped byte for byte, refused ones leaving the file as it was, the tool's
# own outcomes (placeholder absent, bad command line) each seen as such, an ostra that cannot start
# never taken for one that stamped. ostra runs behind a spy that records its command line: the
# serial is never on it, the argument file that carries it is for its user alone, and none is left.
#   test_stamp.sh PATH/TO/ostra
set -euo pipefail
ostra=$(readlink -f "${1:?usage: $0 path/to/ostra}")
script=$(readlink -f "$(dirname "$0")/stamp.sh")
. "$(dirname "$0")/test_linux_recipe.sh"
printf 'serial=@@SERIAL-PLACEHOLDER@@;\n' >"$work/template.dat"

mkdir "$work/spy" "$work/unstartable" "$work/in a földer"
cat >"$work/spy/ostra" <<SPY
#!/bin/sh
printf '%s\n' "\$*" >>"$work/argv"
for a; do case \$a in @/*) stat -c %a "\${a#@}" >>"$work/argv" ;; esac; done
exec "$ostra" "\$@"
SPY
# An ostra that cannot start: the dynamic loader's message and status when the C library is too old.
printf '#!/bin/sh\necho "ostra: version GLIBC_2.34 not found" >&2\nexit 1\n' >"$work/unstartable/ostra"
chmod +x "$work/spy/ostra" "$work/unstartable/ostra"

# The serial is given as the argument, or with `via=stdin` on standard input followed by a line end.
# The data file is product.dat in the scratch folder, named by a relative path (`where=relative`),
# or in a folder whose name holds spaces and a letter outside ASCII (`where=spaces`). A serial `-`
# stands for no arguments at all; `@stamped` stamps a file stamped already, `@` names no file, and
# `@unstartable` finds an ostra that cannot start.
via=argument where=absolute
install() {
  [ "$1" != @checked ] || set -- "$checked"
  local file=$work/product.dat serial=$1 path=$work/spy:$PATH
  case $where in
    relative) file=product.dat ;;
    spaces) file="$work/in a földer/product.dat" ;;
  esac
  local args=("$file" "$serial")
  installed=$work/${file#"$work/"} log=$work/out.txt
  cp "$work/template.dat" "$installed"
  rm -rf "$work/tmp" "$work/argv" && mkdir "$work/tmp"
  case $1 in
    -) args=() ;;
    @stamped) serial=SN-1; args[1]=SN-1; PATH=$path sh "$script" "$file" SN-1 >/dev/null 2>&1 ;;
    @) serial=SN-1 args=("" SN-1) ;;
    @unstartable) serial=SN-1 args[1]=SN-1 path=$work/unstartable:$PATH ;;
  esac
  [ $via = stdin ] && [ ${#args[@]} = 2 ] && args[1]=-
  (cd "$work" && printf '%s\n' "$serial" |
     PATH=$path TMPDIR=$work/tmp sh "$script" "${args[@]}") >"$work/out.txt" 2>&1 || status=$?
  if [ -n "$(ls -A "$work/tmp")" ]; then
    status="$status, but left $(ls "$work/tmp")"
  elif [ -n "$serial" ] && [ -e "$work/argv" ] && grep -qF -- "$serial" "$work/argv"; then
    status="$status, but the serial was on ostra's command line"
  elif [ -e "$work/argv" ] && [ "$(sed -n 3p "$work/argv")" != 600 ]; then
    status="$status, but the argument file's mode was $(sed -n 3p "$work/argv")"
  fi
}

t=$work/template.dat
p=@@SERIAL-PLACEHOLDER@@
for via in argument stdin; do
  for serial in SN-2026-0042 "$serial_1" "$serial_21" "$serial_22" "$serial_utf8" @SN-42 -burnsn; do
    check "$serial" 0 "$(stamped "$t" $p "$serial")" ""
  done
  for serial in "$serial_23" ""; do
    check "$serial" 1 "$(shown "$t")" "the serial must be 1 to 22 bytes long"
  done
  for serial in "$serial_lf" "$serial_tab" $'SN-42\r'; do
    check "$serial" 1 "$(shown "$t")" "the serial holds a control character"
  done
  check "$serial_quote" 1 "$(shown "$t")" 'the serial holds a "'
  run_cases <<CASES
@stamped|1|$(stamped "$t" $p SN-1)|not stamped: placeholder absent
@|1|$(shown "$t")|bad command line (status 255)
@unstartable|1|$(shown "$t")|ostra does not run here (status 1)
CASES
done
via=argument
run_cases <<<"-|1|$(shown "$t")|usage: stamp.sh FILE SERIAL"
for where in relative spaces; do
  run_cases <<<"SN 2026 0042|0|$(stamped "$t" $p 'SN 2026 0042')|"
done
[ $failed -eq 0 ] && echo "stamp.sh: serials from its argument and from standard input stamped byte for byte through a private argument file, never on ostra's command line; refused ones (length, control characters, \") left the file alone; the tool's outcomes told apart; an ostra that cannot start seen as a failure"
exit $failed
