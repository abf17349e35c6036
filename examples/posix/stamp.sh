#!/bin/sh
# stamp.sh FILE SERIAL: stamps SERIAL over the placeholder @@SERIAL@@ in FILE with the ostra found
# on PATH. Exits with 0 when stamped and 1 otherwise.
status=0
ostra /burnfile "$1" /burnstring @@SERIAL@@ /burnsn "$2" || status=$?
case $status in
  1) exit 0 ;;
  0) echo "ostra: $1 not stamped: placeholder absent, serial too long, or file missing or held" >&2 ;;
  *) echo "ostra: bad command line (status $status)" >&2 ;;
esac
exit 1
