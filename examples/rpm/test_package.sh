#!/usr/bin/env bash
# Builds the example product's RPM package (versions 1.0 and 2.0, whose data file differs), checks
# it with rpmlint, and installs it with `rpm --root R --dbpath /var/lib/rpm` into copies of a
# Debian 11 root (for its shell and tools) with an rpm database of its own that holds the given
# ostra package: serials from the administrator's file stamped whole into the copy, refused ones
# stop the installation with nothing installed; an upgrade stamps the new data file with the same
# serial; erase removes the copy. After an installation that succeeds, `rpm -V` finds nothing
# changed.
#   test_package.sh OSTRA.rpm
set -euo pipefail
ostra_rpm=$(readlink -f "${1:?usage: $0 path/to/ostra-VERSION-1.x86_64.rpm}")
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../test_recipe.sh"
. "$here/../../tools/make-roots.sh"

# rpmbuild_in FOLDER SPEC ARGUMENTS...: builds the packages of SPEC with FOLDER as its sources.
rpmbuild_in() {
  local sources=$1 spec=$2
  shift 2
  if ! rpmbuild -bb --define "_topdir $work/rpmbuild" --define "_sourcedir $sources" "$@" "$spec" \
         >"$work/rpmbuild.log" 2>&1; then
    echo "rpmbuild of $spec failed:"; tail -n 20 "$work/rpmbuild.log"; exit 1
  fi
}
mkdir -p "$work/1.0" "$work/2.0"
cp "$here/product.dat" "$work/1.0/"
sed 's/^version=1$/version=2/' "$here/product.dat" >"$work/2.0/product.dat"
rpmbuild_in "$work/1.0" "$here/example-product.spec" --define "product_version 1.0"
rpmbuild_in "$work/2.0" "$here/example-product.spec" --define "product_version 2.0"
v1=$work/rpmbuild/RPMS/noarch/example-product-1.0-1.noarch.rpm
v2=$work/rpmbuild/RPMS/noarch/example-product-2.0-1.noarch.rpm
if ! rpmlint -r "$here/example-product.rpmlintrc" "$v1" "$here/example-product.spec" \
       >"$work/rpmlint.txt" 2>&1; then
  echo "rpmlint finds errors in the example package:"; cat "$work/rpmlint.txt"; failed=1
fi

# The root's shell came from dpkg, which rpm's database does not know: a package that holds no
# file declares it, as a distribution's own packages would.
cat >"$work/root-shell.spec" <<'SPEC'
Name:      root-shell
Version:   1
Release:   1
Summary:   The shell of the scratch root
License:   MIT
BuildArch: noarch
Provides:  /bin/sh
%description
Declares to rpm the shell that dpkg installed in the scratch root.
%files
SPEC
rpmbuild_in "$work" "$work/root-shell.spec"

rpm_root() { rpm --root "$root" --dbpath /var/lib/rpm "$@"; }
root=$work/base
copy_root debian11 "$root"
rpm_root --initdb
if ! rpm_root -i "$work/rpmbuild/RPMS/noarch/root-shell-1-1.noarch.rpm" "$ostra_rpm" \
       >"$work/base.log" 2>&1; then
  echo "$ostra_rpm does not install:"; cat "$work/base.log"; exit 1
fi
root=$work/root

# Runs rpm in the root with ARGUMENTS, its output to the log; the status of the last run counts.
in_root() {
  status=0
  rpm_root "$@" >>"$log" 2>&1 || status=$?
}

# Writes SERIAL as the administrator would, before the installation.
write_serial() {
  command install -D -m 600 /dev/null "$root/etc/example-product/serial"
  printf '%s\n' "$1" >"$root/etc/example-product/serial"
}

# SERIAL is written and version 1.0 installed. `-` writes no serial; `@upgrade` installs 1.0 with
# SN-2026-0042, then upgrades to 2.0; `@erase` installs 1.0, then erases it.
install() {
  log=$work/log
  : >"$log"
  rm -rf "$root"
  cp -a "$work/base" "$root"
  case $1 in
    -) in_root -i "$v1" ;;
    @upgrade) write_serial SN-2026-0042; in_root -i "$v1"; in_root -U "$v2" ;;
    @erase) write_serial SN-2026-0042; in_root -i "$v1"; in_root -e example-product
            [ ! -e "$root/var/lib/example-product" ] || status="left /var/lib/example-product" ;;
    *) write_serial "$1"; in_root -i "$v1" ;;
  esac
  # rpm exits with 0 after a post-installation script that failed: only its warning tells.
  if [ "$status" = 0 ] && grep -q 'scriptlet failed' "$log"; then
    status="0, but a scriptlet failed"
  elif [ "$status" = 0 ] && [ "$1" != @erase ]; then
    rpm_root -V example-product >"$work/faults" 2>&1 || true
    [ ! -s "$work/faults" ] || status="0, but rpm -V: $(tr '\n' ' ' <"$work/faults")"
  fi
  # A refused serial installs nothing.
  if [ "$status" = 1 ] && rpm_root -q example-product >/dev/null; then
    status="1, but example-product is installed"
  fi
  installed=$root/var/lib/example-product/product.dat
}

t=$here/product.dat
run_cases <<CASES
SN-2026-0042|0|$(stamped "$t" @@SERIAL-PLACEHOLDER@@ SN-2026-0042)|
SN 42 & \$HOME;\`id\`"'\\|0|$(stamped "$t" @@SERIAL-PLACEHOLDER@@ 'SN 42 & $HOME;`id`"'"'"'\')|
SN-2026-0042-ABCDEFGHI|0|$(stamped "$t" @@SERIAL-PLACEHOLDER@@ SN-2026-0042-ABCDEFGHI)|
SN-2026-0042-ABCDEFGHIJ|1|absent|write the serial, 1 to 22 bytes
SN-2026-0042-ÄBCDEFGHI|1|absent|write the serial, 1 to 22 bytes
-|1|absent|write the serial, 1 to 22 bytes
@upgrade|0|$(stamped "$work/2.0/product.dat" @@SERIAL-PLACEHOLDER@@ SN-2026-0042)|
@erase|0|absent|
CASES
[ $failed -eq 0 ] && echo "RPM package: serials from the administrator's file stamped whole into a copy rpm does not verify, refused ones install nothing, an upgrade stamps again, erase removes the copy"
exit $failed
