#!/usr/bin/env bash
# Runs one recipe for Linux installers' test, as the ctest tests debian_recipe, rpm_recipe and
# makeself_recipe do, in copies of the Debian 11 root that tools/make-roots.sh makes (once): the
# example product's .deb with the amd64 ostra .deb (`debian`), its .rpm with the x86_64 ostra .rpm
# (`rpm`), both from build/packages, which tools/test-packages.sh makes, and its self-extracting
# installer with the static program of build/release (`makeself`).
#   test_linux_installer.sh debian|rpm|makeself
# A recipe whose inputs are missing, or packages made from other recipes than these, is skipped
# with status 77, saying what makes them; with OSTRA_RECIPES_REQUIRED set, it fails instead.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/lib.sh
version=$(ostra_version)
deb=build/packages/ostra_${version}_amd64.deb
rpm=build/packages/ostra-$version-1.x86_64.rpm

skip() {
  echo "$1: skipped: $2"
  [ -z "${OSTRA_RECIPES_REQUIRED:-}" ] || exit 1
  exit 77
}
[ "$(id -u)" = 0 ] || skip "$1" "installing into a root (dpkg --root, rpm --root, chroot) needs root"

# check_package RECIPE PACKAGE: PACKAGE exists and holds the stamp.sh of these sources.
check_package() {
  [ -f "$2" ] || skip "$1" "no $2: tools/test-packages.sh makes it"
  local dir same=0
  dir=$(mktemp -d)
  unpack "$2" "$dir" && cmp -s "$dir/usr/share/ostra/stamp.sh" examples/posix/stamp.sh || same=1
  rm -rf "$dir"
  [ $same -eq 0 ] ||
    skip "$1" "$2 holds another stamp.sh than examples/posix/stamp.sh: tools/test-packages.sh makes it again"
}

case $1 in
  debian) check_package debian "$deb"; exec bash examples/debian/test_package.sh "$deb" ;;
  rpm) check_package rpm "$rpm"; exec bash examples/rpm/test_package.sh "$rpm" ;;
  makeself) [ -x build/release/app/ostra ] ||
              skip makeself "no build/release/app/ostra: cmake --workflow --preset release makes it"
            exec bash examples/makeself/test_installer.sh build/release/app/ostra ;;
  *) echo "usage: $0 debian|rpm|makeself" >&2; exit 2 ;;
esac
