#!/usr/bin/env bash
# Builds the example product's package (versions 1.0 and 2.0, whose data file differs; 3.0, whose
# data file lacks the placeholder, must not build), checks it with lintian, and installs it with
# `dpkg --root` into copies of a Debian 11 root that holds the given ostra package, unattended
# (DEBIAN_FRONTEND=noninteractive) with the serial preseeded with debconf-set-selections, or asked
# by the Teletype front end: serials stamped byte for byte into the copy (backslash sequences
# included), refused ones leave the package unconfigured and no copy, asked again where debconf
# can ask; after a failed configure, `dpkg --configure -a` asking again and the command the
# message advises both stamp; an upgrade stamps the new data file with the kept serial or a new
# preseeded one; purge removes the copy. After a configure that succeeds, `dpkg --verify` finds
# nothing changed, debconf's databases do not hold the serial, and the copy and the kept serial
# are for root alone.
#   test_package.sh OSTRA.deb
set -euo pipefail
ostra_deb=$(readlink -f "${1:?usage: $0 path/to/ostra_VERSION_amd64.deb}")
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../posix/test_linux_recipe.sh"
. "$here/../../tools/lib.sh"

sed 's/^version=1$/version=2/' "$here/product.dat" >"$work/product-2.dat"
bash "$here/build.sh" 1.0 "$work/example-product_1.0_all.deb"
bash "$here/build.sh" 2.0 "$work/example-product_2.0_all.deb" "$work/product-2.dat"
sed 's/^serial=.*/serial=none;/' "$here/product.dat" >"$work/product-3.dat"
if bash "$here/build.sh" 3.0 "$work/example-product_3.0_all.deb" "$work/product-3.dat" 2>/dev/null; then
  echo "a data file without the placeholder built a package"; failed=1
fi
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
  [ ${#1} -lt 6 ] || ! grep -rlF -- "$1" "$root/var/cache/debconf" || echo "debconf keeps the serial"
  [ "$(stat -c %a "$root/var/lib/example-product/serial")" = 600 ] || echo "the kept serial is readable"
  [ "$(stat -c %a "$root/var/lib/example-product/product.dat")" = 600 ] || echo "the copy is readable"
}

# SERIAL is preseeded and version 1.0 installed. `-` preseeds nothing; `@asked` answers the Teletype
# front end with a serial too long, then an empty one, then SN-2026-0042; `@configure-a` preseeds
# a serial too long, then runs `dpkg --configure -a` with the Teletype front end answering
# SN-2026-0042; `@advised` preseeds a serial too long, then SN-2026-0042 and runs the command the
# failure advised; `@upgrade` installs 1.0 with SN-2026-0042, then 2.0 with nothing preseeded,
# `@new-serial` with SN-2026-0043 preseeded, `@refused` with a serial too long preseeded;
# `@reconfigure` installs 1.0, then runs `dpkg-reconfigure` with nothing new; `@purge` installs
# 1.0, then purges it.
install() {
  [ "$1" != @checked ] || set -- "$checked"
  log=$work/log
  : >"$log"
  rm -rf "$root"
  cp -a "$work/base" "$root"
  local serial=$1 v1=$work/example-product_1.0_all.deb v2=$work/example-product_2.0_all.deb
  local long=SN-2026-0042-ABCDEFGHIJ advised
  case $1 in
    -) in_root -i "$v1" ;;
    @asked) serial=SN-2026-0042
            DEBIAN_FRONTEND=teletype in_root -i "$v1" <<<"$long"$'\n\n'"$serial" ;;
    @configure-a) serial=SN-2026-0042; preseed "$long"; in_root -i "$v1"
                  DEBIAN_FRONTEND=teletype in_root --configure -a <<<"$serial" ;;
    @advised) serial=SN-2026-0042; preseed "$long"; in_root -i "$v1"; preseed "$serial"
              advised=$(grep -o 'run `[^`]*`' "$log" | tail -n 1 | cut -d '`' -f 2 || true)
              status=0; chroot "$root" $advised </dev/null >>"$log" 2>&1 || status=$? ;;
    @upgrade|@new-serial|@refused)
              serial=SN-2026-0042; preseed "$serial"; in_root -i "$v1"
              case $1 in @new-serial) serial=SN-2026-0043; preseed "$serial" ;; @refused) preseed "$long" ;; esac
              in_root -i "$v2" ;;
    @reconfigure) serial=SN-2026-0042; preseed "$serial"; in_root -i "$v1"; rm "$root/var/lib/example-product/product.dat"
                  status=0; chroot "$root" dpkg-reconfigure example-product >>"$log" 2>&1 || status=$? ;;
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
p=@@SERIAL-PLACEHOLDER@@
for serial in SN-2026-0042 "$serial_1" "$serial_21" "$serial_22" "$serial_utf8" 'SN-2026-0042\n'; do
  check "$serial" 0 "$(stamped "$t" $p "$serial")" ""
done
check "$serial_23" 1 absent "the serial must be 1 to 22 bytes long"
check "$serial_tab" 1 absent "the serial holds a control character"
check "$serial_quote" 1 absent 'the serial holds a "'
run_cases <<CASES
-|1|absent|the serial must be 1 to 22 bytes long
@asked|0|$(stamped "$t" $p SN-2026-0042)|Serial number refused
@configure-a|0|$(stamped "$t" $p SN-2026-0042)|
@advised|0|$(stamped "$t" $p SN-2026-0042)|
@upgrade|0|$(stamped "$work/product-2.dat" $p SN-2026-0042)|Setting up example-product (2.0)
@new-serial|0|$(stamped "$work/product-2.dat" $p SN-2026-0043)|Setting up example-product (2.0)
@refused|1|$(stamped "$t" $p SN-2026-0042)|the serial must be 1 to 22 bytes long
@reconfigure|0|$(stamped "$t" $p SN-2026-0042)|
@purge|0|absent|Purging configuration files for example-product (1.0)
CASES
[ $failed -eq 0 ] && echo "Debian package: serials stamped byte for byte into a copy for root alone that dpkg does not own, refused ones fail the configure with no copy and are asked again where debconf can ask, dpkg --configure -a and the advised command stamp after a failure, an upgrade stamps again with the kept or a new serial, purge removes the copy"
exit $failed
