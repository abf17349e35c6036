#!/usr/bin/env bash
# Builds the example product's self-extracting installer around the given static ostra (versions
# 1.0 and 2.0, whose data file differs) and runs it in a copy of a Debian 11 root: serials stamped
# whole into the installed data file, refused ones install nothing; an upgrade run without a serial
# stamps the new data file with the kept one, and one given a refused serial leaves the installed
# product as it was.
#   test_installer.sh path/to/ostra
set -euo pipefail
ostra=$(readlink -f "${1:?usage: $0 path/to/static/ostra}")
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../test_recipe.sh"
. "$here/../../tools/make-roots.sh"

sed 's/^version=1$/version=2/' "$here/product.dat" >"$work/product-2.dat"
root=$work/root
copy_root debian11 "$root"
bash "$here/build.sh" "$ostra" "$root/tmp/example-product-1.0.run"
bash "$here/build.sh" "$ostra" "$root/tmp/example-product-2.0.run" "$work/product-2.dat"

# Runs installer VERSION in the root with ARGUMENTS; the status of the last run counts.
run_installer() {
  local version=$1
  shift
  status=0
  chroot "$root" "/tmp/example-product-$version.run" -- "$@" >>"$log" 2>&1 || status=$?
}

# SERIAL is given to installer 1.0. `-` gives none; `@upgrade` runs 1.0 with SN-2026-0042, then
# 2.0 without a serial; `@refused` runs 1.0 with SN-2026-0042, then 2.0 with a serial too long.
install() {
  log=$work/log
  : >"$log"
  rm -rf "$root/opt/example-product"
  case $1 in
    -) run_installer 1.0 ;;
    @upgrade) run_installer 1.0 --serial SN-2026-0042; run_installer 2.0 ;;
    @refused) run_installer 1.0 --serial SN-2026-0042
              run_installer 2.0 --serial SN-2026-0042-ABCDEFGHIJ ;;
    *) run_installer 1.0 --serial "$1" ;;
  esac
  installed=$root/opt/example-product/product.dat
}

t=$here/product.dat
run_cases <<CASES
SN-2026-0042|0|$(stamped "$t" @@SERIAL-PLACEHOLDER@@ SN-2026-0042)|Example Product installed in /opt/example-product
SN 42 & \$HOME;\`id\`"'\\|0|$(stamped "$t" @@SERIAL-PLACEHOLDER@@ 'SN 42 & $HOME;`id`"'"'"'\')|
SN-2026-0042-ABCDEFGHI|0|$(stamped "$t" @@SERIAL-PLACEHOLDER@@ SN-2026-0042-ABCDEFGHI)|
SN-2026-0042-ABCDEFGHIJ|1|absent|example-product: not installed
SN-2026-0042-ÄBCDEFGHI|1|absent|example-product: not installed
-|1|absent|example-product: not installed
@upgrade|0|$(stamped "$work/product-2.dat" @@SERIAL-PLACEHOLDER@@ SN-2026-0042)|
@refused|1|$(stamped "$t" @@SERIAL-PLACEHOLDER@@ SN-2026-0042)|example-product: not installed
CASES
[ $failed -eq 0 ] && echo "self-extracting installer: serials stamped whole in its own folder and copied into place, refused ones install nothing and leave an installed product as it was"
exit $failed
