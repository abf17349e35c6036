#!/usr/bin/env bash
# Builds the example product's self-extracting installer around the given static ostra (versions
# 1.0 and 2.0, whose data file differs, and 3.0, whose data file lacks the placeholder) and runs it
# in a copy of a Debian 11 root: serials from a file, from standard input and from --serial stamped
# byte for byte into the installed data file, refused ones install nothing; a relative prefix is
# the user's folder; an upgrade run without a serial stamps the new data file with the kept one;
# one given a refused serial, or whose data file cannot be stamped, leaves the installed product as
# it was; installers run side by side leave one whole installation.
#   test_installer.sh path/to/ostra
set -euo pipefail
ostra=$(readlink -f "${1:?usage: $0 path/to/static/ostra}")
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../posix/test_linux_recipe.sh"
. "$here/../../tools/lib.sh"

sed 's/^version=1$/version=2/' "$here/product.dat" >"$work/product-2.dat"
sed 's/^serial=.*/serial=none;/' "$here/product.dat" >"$work/product-3.dat"
root=$work/root
copy_root debian11 "$root"
for version in 1 2 3; do
  data=$work/product-$version.dat
  [ $version = 1 ] && data=$here/product.dat
  bash "$here/build.sh" "$ostra" "$root/tmp/example-product-$version.0.run" "$data"
done
mkdir -p "$root/home/user/in a földer"

# Runs installer VERSION in the root, from /home/user, with ARGUMENTS and standard input; the
# status of the last run counts.
run_installer() {
  local version=$1
  shift
  status=0
  chroot "$root" sh -c 'cd /home/user && exec "$@"' sh "/tmp/example-product-$version.0.run" -- \
    "$@" >>"$log" 2>&1 || status=$?
}

# Writes SERIAL with a line end where the user keeps it, readable by root alone.
write_serial() {
  (umask 077 && printf '%s\n' "$1" >"$root/home/user/serial.txt")
}

# SERIAL is given to installer 1.0 in a file (`how=--serial-file`), on standard input
# (`how=stdin`) or as the value of --serial (`how=--serial`); the product goes to /opt or, with
# `prefix` set, there, relative to /home/user unless absolute. `-` gives no serial; `@upgrade` runs
# 1.0 with SN-2026-0042, then 2.0 without a serial; `@refused` runs 1.0 with SN-2026-0042, then 2.0
# with a serial too long; `@unstampable` runs 1.0 with SN-2026-0042, then 3.0 with it.
how=--serial-file prefix=
install() {
  [ "$1" != @checked ] || set -- "$checked"
  log=$work/log
  : >"$log"
  rm -rf "$root/opt/example-product" "$root/home/user/rel"
  local where=()
  [ -z "$prefix" ] || where=(--prefix "$prefix")
  case $1 in
    -) run_installer 1 "${where[@]}" ;;
    @upgrade) write_serial SN-2026-0042; run_installer 1 --serial-file serial.txt
              run_installer 2 ;;
    @refused) write_serial SN-2026-0042; run_installer 1 --serial-file serial.txt
              run_installer 2 --serial SN-2026-0042-ABCDEFGHIJ ;;
    @unstampable) write_serial SN-2026-0042; run_installer 1 --serial-file serial.txt
                  run_installer 3 --serial-file serial.txt ;;
    *) case $how in
         stdin) write_serial "$1"; run_installer 1 --serial-file - "${where[@]}" <"$root/home/user/serial.txt" ;;
         --serial) run_installer 1 --serial "$1" "${where[@]}" ;;
         *) write_serial "$1"; run_installer 1 --serial-file serial.txt "${where[@]}" ;;
       esac ;;
  esac
  case $prefix in
    '') installed=$root/opt/example-product/product.dat ;;
    /*) installed=$root$prefix/product.dat ;;
    *) installed=$root/home/user/$prefix/product.dat ;;
  esac
  # Nothing of a run is left beside the installed files.
  local extra
  extra=$(ls -A "$(dirname "$installed")" 2>/dev/null | grep -vx 'product.dat\|serial' || true)
  [ -z "$extra" ] || status="$status, but left $extra"
}

t=$here/product.dat
p=@@SERIAL-PLACEHOLDER@@
for how in --serial-file stdin --serial; do
  for serial in "$serial_1" "$serial_21" "$serial_22" "$serial_utf8"; do
    check "$serial" 0 "$(stamped "$t" $p "$serial")" "Example Product installed in /opt/example-product"
  done
  for serial in "$serial_23" "$serial_lf" "$serial_quote"; do
    check "$serial" 1 absent "example-product: not installed"
  done
done
how=--serial-file
run_cases <<CASES
-|1|absent|example-product: not installed
@upgrade|0|$(stamped "$work/product-2.dat" $p SN-2026-0042)|
@refused|1|$(stamped "$t" $p SN-2026-0042)|example-product: not installed
@unstampable|1|$(stamped "$t" $p SN-2026-0042)|not stamped: placeholder absent
CASES
# A relative prefix is the user's folder, not makeself's temporary one; a folder's name is its own.
for prefix in rel "/home/user/in a földer"; do
  run_cases <<<"SN-2026-0042|0|$(stamped "$t" $p SN-2026-0042)|Example Product installed in /home/user/"
done
prefix=

# Installers run side by side: each ends well, and each file is whole, from one of them.
log=$work/log
rm -rf "$root/opt/example-product"
for serial in SN-1 SN-2 SN-3 SN-4; do
  chroot "$root" "/tmp/example-product-1.0.run" -- --serial "$serial" >"$work/log-$serial" 2>&1 &
done
for serial in SN-1 SN-2 SN-3 SN-4; do
  wait -n || { echo "an installer run side by side failed:"; cat "$work"/log-*; failed=1; }
done
whole=no
for n in 1 2 3 4; do
  [ "$(shown "$root/opt/example-product/product.dat")" != "$(stamped "$t" $p SN-$n)" ] || whole=yes
done
if [ $whole = no ] || [[ $(cat "$root/opt/example-product/serial") != SN-[1-4] ]] ||
   [ "$(ls -A "$root/opt/example-product" | tr '\n' ' ')" != "product.dat serial " ]; then
  echo "installers run side by side left: $(ls -A "$root/opt/example-product")"; failed=1
fi
[ $failed -eq 0 ] && echo "self-extracting installer: serials from a file, standard input or --serial stamped byte for byte and copied into place, refused ones install nothing, a relative prefix is the user's folder, a failed upgrade leaves the installed product as it was, side-by-side runs leave one whole installation"
exit $failed
