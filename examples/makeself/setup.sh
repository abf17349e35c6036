#!/bin/sh
# The setup script of the self-extracting installer that build.sh makes. makeself unpacks the
# installer into a temporary folder and runs this script there, with the arguments given after `--`:
#   ./example-product-1.0.run -- --serial SN-2026-0042 [--prefix /opt/example-product]
# It stamps the product.dat of that folder with the stamp.sh and ostra beside it, and copies it into
# the prefix only when stamp.sh reports the stamp made, so a refused serial or a failed stamp
# leaves the installed product as it was. The serial is kept in PREFIX/serial, readable by root
# alone: a later installer (an upgrade) run without --serial stamps its own product.dat with it.
set -eu
# makeself unpacks with umask 077; the installed files are for every user to read.
umask 022
prefix=/opt/example-product
serial=
given=no

usage() {
  echo "usage: example-product.run -- [--serial SERIAL] [--prefix DIR]" >&2
  exit 2
}

while [ $# -gt 0 ]; do
  case $1 in
    --serial) [ $# -ge 2 ] || usage; serial=$2; given=yes; shift 2 ;;
    --prefix) [ $# -ge 2 ] || usage; prefix=$2; shift 2 ;;
    *) usage ;;
  esac
done
if [ $given = no ] && [ -e "$prefix/serial" ]; then
  serial=$(cat "$prefix/serial")
fi

# ostra's status 1 (stamped) would stop a `set -e` script: stamp.sh turns it into 0 and every
# other outcome into 1, saying why. It runs the ostra it finds on PATH: the one beside it.
if ! PATH="$PWD:$PATH" ./stamp.sh product.dat "$serial"; then
  echo "example-product: not installed; give a serial of 1 to 22 bytes with --serial SERIAL" >&2
  exit 1
fi
mkdir -p "$prefix"
cp product.dat "$prefix/product.dat.new"
(umask 077 && printf '%s' "$serial" >"$prefix/serial.new")
mv -f "$prefix/serial.new" "$prefix/serial"
mv -f "$prefix/product.dat.new" "$prefix/product.dat"
echo "Example Product installed in $prefix"
