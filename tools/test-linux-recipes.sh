#!/usr/bin/env bash
# Runs the recipes for Linux installers, each as its installer would run it, in copies of the
# Debian roots that tools/make-roots.sh makes (once): the example product's .deb with the amd64
# ostra .deb, its .rpm with the x86_64 ostra .rpm (both packages from build/packages, which
# tools/test-packages.sh makes), and its self-extracting installer with the static program of
# build/release. Fails when any recipe fails.
set -euo pipefail
cd "$(dirname "$0")/.."
version=$(sed -n 's/^project(ostra VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
packages=build/packages
tools/make-roots.sh >/dev/null

fail=0
bash examples/debian/test_package.sh "$packages/ostra_${version}_amd64.deb" || fail=1
bash examples/rpm/test_package.sh "$packages/ostra-$version-1.x86_64.rpm" || fail=1
bash examples/makeself/test_installer.sh build/release/app/ostra || fail=1
exit $fail
