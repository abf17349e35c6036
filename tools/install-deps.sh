#!/usr/bin/env bash
# Installs the Debian packages that are missing for building (`build`) or for every test of both
# builds (`test`). Does nothing when everything is there already.
set -euo pipefail

build_packages=(cmake make g++ python3)
test_packages=("${build_packages[@]}" libgtest-dev googletest g++-mingw-w64-i686 g++-mingw-w64-x86-64
               wine wine32:i386 wine64 clang libclang-rt-14-dev time nsis zip unzip
               wixl osslsigncode openssl man-db dpkg-dev file)

case "${1:-test}" in
  build) wanted=("${build_packages[@]}") ;;
  test) wanted=("${test_packages[@]}") ;;
  *) echo "usage: $0 [build|test]" >&2; exit 2 ;;
esac

missing=()
for package in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
    missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
echo "Installing: ${missing[*]}"
if printf '%s\n' "${missing[@]}" | grep -q ':i386$'; then
  $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
