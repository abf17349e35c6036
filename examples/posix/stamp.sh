#!/bin/sh
# stamp.sh FILE SERIAL: stamps SERIAL over the placeholder @@SERIAL-PLACEHOLDER@@ in FILE with the
# ostra found on PATH. Exits with 0 when stamped and 1 otherwise; a serial refused leaves FILE as it
# was. The placeholder is as long as the longest serial the product accepts: ostra would cut a
# longer one.
placeholder=@@SERIAL-PLACEHOLDER@@
if [ $# -ne 2 ]; then
  echo "usage: stamp.sh FILE SERIAL" >&2
  exit 1
fi
bytes=$(printf '%s' "$2" | wc -c)
if [ "$bytes" -eq 0 ] || [ "$bytes" -gt ${#placeholder} ]; then
  echo "stamp.sh: the serial must be 1 to ${#placeholder} bytes long" >&2
  exit 1
fi
# Status 1 means stamped, but a program that cannot start at all (a library or a C library version
# missing, another architecture) can exit with 1 too: only an ostra that shows its usage with 255
# is trusted.
status=0
ostra '/?' >/dev/null 2>&1 || status=$?
if [ "$status" -ne 255 ]; then
  echo "stamp.sh: ostra does not run here (status $status)" >&2
  exit 1
fi
status=0
ostra /burnfile "$1" /burnstring "$placeholder" /burnsn "$2" || status=$?
case $status in
  1) exit 0 ;;
  0) echo "ostra: $1 not stamped: placeholder absent, or file missing or held" >&2 ;;
  *) echo "ostra: bad command line (status $status)" >&2 ;;
esac
exit 1
