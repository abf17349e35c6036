#!/usr/bin/env bash
# Builds the example product's package (versions 1.0 and 2.0, whose data file differs), checks it
# with lintian, and installs it with `dpkg --root` into copies of a Debian 11 root that holds the
# given ostra package, unattended (DEBIAN_FRONTEND=noninteractive), the serial preseeded with
# debconf-set-selections: serials stamped whole into the copy, refused ones leave the package
# unconfigured and no copy; an upgrade stamps the new data file with the kept serial; purge removes
# the copy. After a configure that succeeds, `dpkg --verify` finds nothing changed and debconf's
# databases do not hold the serial.
#   test_package.sh OSTRA.deb
set -euo pipefail
ostra_deb=$(readlink -f "${1:?usage: $0 path/to/ostra_VERSION_amd64.deb}")
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../test_recipe.sh"
. "$here/../../tools/make-roots.sh"

sed 's/^version=1$/version=2/' "$here/product.dat" >"$work/product-2.dat"
bash "$here/build.sh" 1.0 "$work/example-product_1.0_all.deb"
bash "$here/build.sh" 2.0 "$work/example-product_2.0_all.deb" "$work/product-2.dat"
if ! lintian --fail-on error,warning "$work/example-product_1.0_all.deb" >"$work/lintian.txt" 2>&1; then
  echo "lintian finds errors or warnings in the example package:"; cat "$work/lintian.txt"; failed=1
fi

copy_root debian11 "$work/base"
dpkg --root="$work/base" -i "$ostra_deb" >/dev/null
root=$work/root
export DEBIAN_FRONTEND=noninteractive

# Runs dpkg in the root with ARGUMENTS, its output to the log; the status of the last run counts.
in_root() {
  status=0
  dpkg --root="$root" "$@" >>"$log" 2>&1 || status=$?
}

preseed() {
  printf 'example-product example-product/serial password %s\n' "$1" |
    chroot "$root" debconf-set-selections
}

# After a configure that succeeded: the package is installed, dpkg's files are as shipped, debconf
# does not hold the serial, and the kept serial is for root alone.
check_clean() {
  local state
  state=$(dpkg-query --root="$root" -W -f='${db:Status-Abbrev}' example-product)
  [ "$state" = "ii " ] || echo "package state '$state', not installed"
  dpkg --root="$root" --verify example-product
  ! grep -rlF -- "$1" "$root/var/cache/debconf" || echo "debconf keeps the serial"
  [ "$(stat -c %a "$root/var/lib/example-product/serial")" = 600 ] || echo "the kept serial is readable"
}

# SERIAL is preseeded and version 1.0 installed. `-` preseeds nothing; `@upgrade` installs 1.0
# with SN-2026-0042, then 2.0 with nothing preseeded; `@purge` installs 1.0, then purges it.
install() {
  log=$work/log
  : >"$log"
  rm -rf "$root"
  cp -a "$work/base" "$root"
  local serial=$1 v1=$work/example-product_1.0_all.deb
  case $1 in
    -) in_root -i "$v1" ;;
    @upgrade) serial=SN-2026-0042; preseed "$serial"; in_root -i "$v1"
              in_root -i "$work/example-product_2.0_all.deb" ;;
    @purge) preseed SN-2026-0042; in_root -i "$v1"; in_root --purge example-product
            [ ! -e "$root/var/lib/example-product" ] || status="left /var/lib/example-product" ;;
    *) preseed "$1"; in_root -i "$v1" ;;
  esac
  if [ "$status" = 0 ] && [ "$1" != @purge ]; then
    check_clean "$serial" >"$work/faults" 2>&1
    [ ! -s "$work/faults" ] || { status="0, but $(tr '\n' ' ' <"$work/faults")"; }
  fi
  installed=$root/var/lib/example-product/product.dat
}

t=$here/product.dat
run_cases <<CASES
SN-2026-0042|0|$(stamped "$t" @@SERIAL-PLACEHOLDER@@ SN-2026-0042)|
SN 42 & \$HOME;\`id\`"'\\|0|$(stamped "$t" @@SERIAL-PLACEHOLDER@@ 'SN 42 & $HOME;`id`"'"'"'\')|
SN-2026-0042-ABCDEFGHI|0|$(stamped "$t" @@SERIAL-PLACEHOLDER@@ SN-2026-0042-ABCDEFGHI)|
SN-2026-0042-ABCDEFGHIJ|1|absent|example-product: no serial stamped
SN-2026-0042-ÄBCDEFGHI|1|absent|example-product: no serial stamped
-|1|absent|example-product: no serial stamped
@upgrade|0|$(stamped "$work/product-2.dat" @@SERIAL-PLACEHOLDER@@ SN-2026-0042)|Setting up example-product (2.0)
@purge|0|absent|Purging configuration files for example-product (1.0)
CASES
[ $failed -eq 0 ] && echo "Debian package: preseeded serials stamped whole into a copy dpkg does not own, refused ones fail the configure with no copy, an upgrade stamps again with the kept serial, purge removes the copy"
exit $failed
