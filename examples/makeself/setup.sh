#!/bin/sh
# The setup script of the self-extracting installer that build.sh makes. makeself unpacks the
# installer into a temporary folder and runs this script there, with the arguments given after `--`:
#   ./example-product-1.0.run -- --serial-file FILE [--prefix /opt/example-product]
#   printf '%s\n' "$serial" | ./example-product-1.0.run -- --serial-file - [--prefix DIR]
#   ./example-product-1.0.run -- --serial SN-2026-0042 [--prefix DIR]
# --serial-file reads the serial from FILE (`-`: standard input), a line end after it allowed; --serial puts
# it on the installer's command line, which every user of the system can read while it runs, and in
# the shell's history. A relative FILE or DIR is taken from the folder the installer was run from.
# The script stamps the product.dat of the temporary folder with the stamp.sh and ostra beside it,
# and copies it into the prefix only when stamp.sh reports the stamp made, so a refused serial or a
# failed stamp leaves the installed product as it was. The serial is kept in PREFIX/serial,
# readable by root alone: a later installer (an upgrade) run without a serial stamps its own
# product.dat with it.
set -eu
# makeself unpacks with umask 077; the installed files are for every user to read.
umask 022
prefix=/opt/example-product
serial_file=
serial=

usage() {
  echo "usage: example-product.run -- [--serial-file FILE|- | --serial SERIAL] [--prefix DIR]" >&2
  exit 2
}

# makeself runs this script in its own temporary folder, which it deletes afterwards: a relative
# path means the folder the user ran the installer from, which makeself names in USER_PWD.
from_user() {
  case $1 in
    /*|-) printf '%s' "$1" ;;
    *) printf '%s/%s' "${USER_PWD:?run the installer itself, or give full paths}" "$1" ;;
  esac
}

while [ $# -gt 0 ]; do
  case $1 in
    --serial) [ $# -ge 2 ] || usage; serial=$2; serial_file=; shift 2 ;;
    --serial-file) [ $# -ge 2 ] || usage; serial_file=$(from_user "$2"); shift 2 ;;
    --prefix) [ $# -ge 2 ] && [ -n "$2" ] || usage; prefix=$(from_user "$2"); shift 2 ;;
    *) usage ;;
  esac
done
if [ -z "$serial_file" ] && [ -z "$serial" ] && [ -e "$prefix/serial" ]; then
  serial_file=$prefix/serial
fi
if [ -n "$serial_file" ]; then
  # Every byte of the file, one line end at its end dropped: the x keeps what command substitution
  # would strip. A second line is no serial: stamp.sh refuses its line end.
  if [ "$serial_file" = - ]; then serial=$(cat; echo x); else serial=$(cat "$serial_file"; echo x); fi
  serial=${serial%x}
  serial=${serial%"
"}
fi

new_data= new_serial=
trap 'rm -f "$new_data" "$new_serial"' EXIT
trap 'exit 1' HUP INT TERM
# ostra's status 1 (stamped) would stop a `set -e` script: stamp.sh turns it into 0 and every
# other outcome into 1, saying why. It runs the ostra it finds on PATH: the one beside it.
if ! printf '%s' "$serial" | PATH="$PWD:$PATH" ./stamp.sh product.dat -; then
  echo "example-product: not installed; give a serial of 1 to 22 bytes with --serial-file FILE" >&2
  exit 1
fi
mkdir -p "$prefix"
# Names of this run alone: two installers run at once never write into each other's files.
new_data=$(mktemp "$prefix/.product.dat.XXXXXX")
new_serial=$(mktemp "$prefix/.serial.XXXXXX")
cp product.dat "$new_data"
chmod 644 "$new_data"
printf '%s' "$serial" >"$new_serial"
mv -f "$new_serial" "$prefix/serial"
mv -f "$new_data" "$prefix/product.dat"
echo "Example Product installed in $prefix"
