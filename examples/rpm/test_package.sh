#!/usr/bin/env bash
# Builds the example product's RPM package (versions 1.0 and 2.0, whose data file differs; 3.0,
# whose data file lacks the placeholder, must not build), checks it with rpmlint, and installs it
# with `rpm --root R --dbpath /var/lib/rpm` into copies of a Debian 11 root (for its shell and
# tools) with an rpm database of its own that holds the given ostra package: serials from the
# administrator's file stamped byte for byte into the copy (a file written on Windows read as its
# serial), refused ones and a file others can read stop the installation with nothing installed;
# an upgrade stamps the new data file with the file's serial, and one the pre-installation script
# refuses leaves the earlier version installed and stamped; erase removes the copy. After an
# installation that succeeds, `rpm -V` finds nothing changed and the copy is for root alone.
#   test_package.sh OSTRA.rpm
set -euo pipefail
ostra_rpm=$(readlink -f "${1:?usage: $0 path/to/ostra-VERSION-1.x86_64.rpm}")
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../posix/test_linux_recipe.sh"
. "$here/../../tools/lib.sh"

# rpmbuild_in FOLDER SPEC ARGUMENTS...: builds the packages of SPEC with FOLDER as its sources.
rpmbuild_in() {
  local sources=$1 spec=$2
  shift 2
  if ! rpmbuild -bb --define "_topdir $work/rpmbuild" --define "_sourcedir $sources" "$@" "$spec" \
         >"$work/rpmbuild.log" 2>&1; then
    echo "rpmbuild of $spec failed:"; tail -n 20 "$work/rpmbuild.log"; exit 1
  fi
}
mkdir -p "$work/1.0" "$work/2.0" "$work/3.0"
cp "$here/product.dat" "$work/1.0/"
sed 's/^version=1$/version=2/' "$here/product.dat" >"$work/2.0/product.dat"
sed 's/^serial=.*/serial=none;/' "$here/product.dat" >"$work/3.0/product.dat"
rpmbuild_in "$work/1.0" "$here/example-product.spec" --define "product_version 1.0"
rpmbuild_in "$work/2.0" "$here/example-product.spec" --define "product_version 2.0"
# A package whose %post could not stamp its data file would install with rpm's warning alone.
if (rpmbuild_in "$work/3.0" "$here/example-product.spec" --define "product_version 3.0") >/dev/null ||
   ! grep -qF 'holds no @@SERIAL-PLACEHOLDER@@' "$work/rpmbuild.log"; then
  echo "a data file without the placeholder built a package"; failed=1
fi
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

# Writes the serial file as the administrator would, before the installation: SERIAL and a line
# end, with the mode given in `mode`.
mode=600
write_serial() {
  command install -D -m "$mode" /dev/null "$root/etc/example-product/serial"
  printf '%s\n' "$1" >"$root/etc/example-product/serial"
}

# SERIAL is written and version 1.0 installed. `-` writes no serial; `@windows` writes SN-2026-0042
# as Notepad would, with a byte-order mark and CR LF; `@upgrade` installs 1.0 with SN-2026-0042,
# then upgrades to 2.0 with SN-2026-0043 written; `@refused` does the same with a serial too long
# for 2.0; `@downgrade` installs 2.0, then 1.0 with --oldpackage; `@reinstall` installs 1.0, then
# again with --reinstall; `@erase` installs 1.0, then erases it.
install() {
  [ "$1" != @checked ] || set -- "$checked"
  log=$work/log
  : >"$log"
  rm -rf "$root"
  cp -a "$work/base" "$root"
  local version=1.0-1
  case $1 in
    -) in_root -i "$v1" ;;
    @windows) write_serial x; printf '\357\273\277SN-2026-0042\r\n' >"$root/etc/example-product/serial"
              in_root -i "$v1" ;;
    @upgrade) write_serial SN-2026-0042; in_root -i "$v1"; write_serial SN-2026-0043
              in_root -U "$v2"; version=2.0-1 ;;
    @refused) write_serial SN-2026-0042; in_root -i "$v1"; write_serial SN-2026-0042-ABCDEFGHIJ
              in_root -U "$v2" ;;
    @downgrade) write_serial SN-2026-0042; in_root -i "$v2"; in_root -U --oldpackage "$v1" ;;
    @reinstall) write_serial SN-2026-0042; in_root -i "$v1"; in_root --reinstall "$v1" ;;
    @erase) write_serial SN-2026-0042; in_root -i "$v1"; in_root -e example-product
            [ ! -e "$root/var/lib/example-product" ] || status="left /var/lib/example-product" ;;
    *) write_serial "$1"; in_root -i "$v1" ;;
  esac
  installed=$root/var/lib/example-product/product.dat
  # rpm exits with 0 after a post-installation script that failed: only its warning tells.
  if [ "$status" = 0 ] && grep -q 'scriptlet failed' "$log"; then
    status="0, but a scriptlet failed"
  elif [ "$status" = 0 ] && [ "$1" != @erase ]; then
    rpm_root -V example-product >"$work/faults" 2>&1 || true
    [ "$(stat -c %a "$installed")" = 600 ] || echo "the copy's mode is $(stat -c %a "$installed")" >>"$work/faults"
    [ ! -s "$work/faults" ] || status="0, but rpm -V: $(tr '\n' ' ' <"$work/faults")"
  fi
  # A refused serial installs nothing, or leaves the earlier version.
  if [ "$status" = 1 ] && [ "$1" = @refused ]; then
    [ "$(rpm_root -q --qf '%{VERSION}-%{RELEASE}' example-product)" = 1.0-1 ] ||
      status="1, but 1.0 is no longer installed"
  elif [ "$status" = 1 ] && rpm_root -q example-product >/dev/null; then
    status="1, but example-product is installed"
  fi
}

t=$here/product.dat
p=@@SERIAL-PLACEHOLDER@@
for serial in SN-2026-0042 "$serial_1" "$serial_21" "$serial_22" "$serial_utf8"; do
  check "$serial" 0 "$(stamped "$t" $p "$serial")" ""
done
for serial in "$serial_23" "" "$serial_lf" "$serial_quote" $'SN-42\r\r'; do
  check "$serial" 1 absent "write the serial, 1 to 22 bytes"
done
mode=640 check SN-2026-0042 1 absent "readable by root alone (mode 600)"
run_cases <<CASES
-|1|absent|readable by root alone (mode 600)
@windows|0|$(stamped "$t" $p SN-2026-0042)|
@upgrade|0|$(stamped "$work/2.0/product.dat" $p SN-2026-0043)|
@refused|1|$(stamped "$t" $p SN-2026-0042)|write the serial, 1 to 22 bytes
@downgrade|0|$(stamped "$t" $p SN-2026-0042)|
@reinstall|0|$(stamped "$t" $p SN-2026-0042)|
@erase|0|absent|
CASES
[ $failed -eq 0 ] && echo "RPM package: serials from the administrator's file stamped byte for byte into a copy for root alone, refused ones and readable files install nothing, a failed upgrade leaves the earlier version stamped, a data file without the placeholder does not build, erase removes the copy"
exit $failed
