# The part the tests of the Linux recipes share on top of ../test_recipe.sh, which each sources
# first: data files compared byte for byte (as hexadecimal, so that no byte is translated or
# lost), the serials every recipe runs, and `check` for serials that the table's separator cannot
# carry.
. "$(dirname "${BASH_SOURCE[0]}")/../test_recipe.sh"

# FILE as its bytes in hexadecimal; `absent` when there is no FILE.
shown() {
  if [ -f "$1" ]; then od -An -v -tx1 "$1" | tr -d ' \n'; else echo absent; fi
}

# TEMPLATE, in hexadecimal, after each MARKER in it is stamped with its VALUE (its bytes as given):
# the value padded with zero bytes to the marker's length.
stamped() {
  python3 - "$@" <<'PY'
import os, sys
data = open(sys.argv[1], "rb").read()
for marker, value in zip(sys.argv[2::2], sys.argv[3::2]):
    data = data.replace(os.fsencode(marker), os.fsencode(value).ljust(len(marker), b"\0"), 1)
sys.stdout.write(data.hex())
PY
}

# check SERIAL STATUS DATA TEXT: one case of run_cases, whatever bytes SERIAL holds (a line end
# too). run_cases hands install the serial `@checked`, for which install takes $checked.
check() {
  local earlier=$failed
  checked=$1 failed=0
  case_separator=$'\037' run_cases <<<"$(printf '@checked\037%s\037%s\037%s' "$2" "$3" "$4")"
  [ $failed = 0 ] || printf '(the serial @checked above is %q)\n' "$checked"
  failed=$((failed | earlier))
}

# Serials of 1, 21 and 22 bytes that hold every character a shell or a package script treats
# specially but the double quote, and backslash sequences that must stay two characters; a
# non-ASCII one, stamped as its UTF-8 bytes. And ones refused: 23 bytes (22 characters), a line
# end, a tab, and the double quote the argument file cannot carry.
serial_1='#'
serial_21='-|&;<>()$`\'"'"' *?[]~!{}'
serial_22='/\n\t\\%^@=+,.:SN 4-22'
serial_utf8='SN-Äé€-42'
serial_23='SN-2026-0042-ÄBCDEFGHI'
serial_lf=$'X\nedition=pro'
serial_tab=$'SN\t42'
serial_quote='SN"42'
