#!/usr/bin/env bash
# Runs the recipes for Linux installers, each as its installer would run it, in copies of the
# Debian 11 root that tools/make-roots.sh makes (once): the example product's .deb with the amd64
# ostra .deb (`debian`), its .rpm with the x86_64 ostra .rpm (`rpm`), both from build/packages,
# which tools/test-packages.sh makes, and its self-extracting installer with the static program of
# build/release (`makeself`).
#   test-linux-recipes.sh debian|rpm|makeself   runs one recipe's test (the ctest tests do)
#   test-linux-recipes.sh                       runs them all, as the ctest tests labelled recipes
# A recipe whose inputs are missing, or packages made from other recipes than these, is skipped
# with status 77, saying what makes them; with OSTRA_RECIPES_REQUIRED set, it fails instead.
set -euo pipefail
cd "$(dirname "$0")/.."
# Run as a step of the test command, after the packages are made, a skipped recipe is a failure.
if [ $# -eq 0 ]; then
  OSTRA_RECIPES_REQUIRED=1 exec ctest --test-dir build/native --output-on-failure \
    -R '^(debian|rpm|makeself)_recipe$'
fi
version=$(sed -n 's/^project(ostra VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
deb=build/packages/ostra_${version}_amd64.deb
rpm=build/packages/ostra-$version-1.x86_64.rpm

skip() {
  echo "$1: skipped: $2"
  [ -z "${OSTRA_RECIPES_REQUIRED:-}" ] || exit 1
  exit 77
}
[ "$(id -u)" = 0 ] || skip "$1" "installing into a root (dpkg --root, rpm --root, chroot) needs root"

# The package's stamp.sh from PACKAGE, on standard output.
packaged_stamp() {
  case $1 in
    *.deb) dpkg-deb --fsys-tarfile "$1" | tar -xO ./usr/share/ostra/stamp.sh ;;
    *.rpm) rpm2cpio "$1" | cpio -i --quiet --to-stdout ./usr/share/ostra/stamp.sh ;;
  esac
}
# PACKAGE exists and holds the stamp.sh of these sources.
check_package() {
  [ -f "$2" ] || skip "$1" "no $2: tools/test-packages.sh makes it"
  packaged_stamp "$2" | cmp -s - examples/posix/stamp.sh ||
    skip "$1" "$2 holds another stamp.sh than examples/posix/stamp.sh: tools/test-packages.sh makes it again"
}

case $1 in
  debian) check_package debian "$deb"; exec bash examples/debian/test_package.sh "$deb" ;;
  rpm) check_package rpm "$rpm"; exec bash examples/rpm/test_package.sh "$rpm" ;;
  makeself) [ -x build/release/app/ostra ] ||
              skip makeself "no build/release/app/ostra: cmake --workflow --preset release makes it"
            exec bash examples/makeself/test_installer.sh build/release/app/ostra ;;
  *) echo "usage: $0 [debian|rpm|makeself]" >&2; exit 2 ;;
esac
