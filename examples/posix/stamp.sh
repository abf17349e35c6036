#!/bin/sh
# stamp.sh FILE SERIAL: stamps SERIAL over the placeholder @@SERIAL-PLACEHOLDER@@ in FILE with the
# ostra found on PATH. Exits with 0 when stamped and 1 otherwise; a serial refused leaves FILE as it
# was. The placeholder is as long as the longest serial the product accepts: ostra would cut a
# longer one.
#
# A SERIAL of `-` is read from standard input instead (one line end at its end is dropped), which
# keeps it off every command line: `printf '%s' "$serial" | stamp.sh FILE -`. Either way ostra
# reads it from an argument file that only this user can read, removed on every way out, never
# from its own command line, which every user of the system can read.
placeholder=@@SERIAL-PLACEHOLDER@@
if [ $# -ne 2 ]; then
  echo "usage: stamp.sh FILE SERIAL (or - to read the serial from standard input)" >&2
  exit 1
fi
file=$1
if [ "$2" = - ]; then
  # The x keeps the line ends that command substitution strips; one of them is the line's end.
  serial=$(cat; echo x) || exit 1
  serial=${serial%x}
  serial=${serial%"
"}
else
  serial=$2
fi
# Lengths and characters are counted in bytes, whatever the locale: ostra counts bytes.
bytes=$(printf '%s' "$serial" | wc -c)
if [ "$bytes" -eq 0 ] || [ "$bytes" -gt ${#placeholder} ]; then
  echo "stamp.sh: the serial must be 1 to ${#placeholder} bytes long" >&2
  exit 1
fi
# A line end would add a line to a line-oriented data file, and an argument file reads it as a space.
if [ "$(printf '%s' "$serial" | LC_ALL=C tr -d '\001-\037\177' | wc -c)" -ne "$bytes" ]; then
  echo "stamp.sh: the serial holds a control character (a line end, a tab, ...)" >&2
  exit 1
fi
case $serial in
  *'"'*) echo 'stamp.sh: the serial holds a ", which an argument file of ostra cannot carry' >&2
         exit 1 ;;
esac
# Status 1 means stamped, but a program that cannot start at all (a library or a C library version
# missing, another architecture) can exit with 1 too: only an ostra that shows its usage with 255
# is trusted.
status=0
ostra '/?' >/dev/null 2>&1 || status=$?
if [ "$status" -ne 255 ]; then
  echo "stamp.sh: ostra does not run here (status $status)" >&2
  exit 1
fi
# mktemp makes the file for this user alone (mode 600). Quotes keep spaces in the serial; its bytes
# are taken as they are, UTF-8 included.
args=
trap 'rm -f "$args"' EXIT
trap 'exit 1' HUP INT TERM
args=$(mktemp "${TMPDIR:-/tmp}/stamp.XXXXXXXXXX") || {
  echo "stamp.sh: cannot make an argument file in ${TMPDIR:-/tmp}" >&2
  exit 1
}
printf '/burnsn "%s"\n' "$serial" >"$args" || exit 1
status=0
ostra /burnfile "$file" /burnstring "$placeholder" "@$args" || status=$?
case $status in
  1) exit 0 ;;
  0) echo "ostra: $file not stamped: placeholder absent, or file missing or held" >&2 ;;
  *) echo "ostra: bad command line (status $status)" >&2 ;;
esac
exit 1
