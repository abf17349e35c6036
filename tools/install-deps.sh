#!/usr/bin/env bash
# Installs the Debian packages that are missing for building (`build`) or for every test of both
# builds (`test`). Does nothing when everything is there already.
set -euo pipefail

build_packages=(cmake make g++ python3)
test_packages=("${build_packages[@]}" libgtest-dev googletest g++-mingw-w64-i686 g++-mingw-w64-x86-64
               wine wine32:i386 wine64 clang libclang-rt-14-dev time nsis zip unzip
               wixl msitools osslsigncode openssl man-db dpkg-dev file xvfb lintian mandoc
               qemu-user-static g++-aarch64-linux-gnu libc6-dev-arm64-cross
               debootstrap rpm rpmlint makeself)

case "${1:-test}" in
  build) wanted=("${build_packages[@]}") ;;
  test) wanted=("${test_packages[@]}") ;;
  *) echo "usage: $0 [build|test]" >&2; exit 2 ;;
esac

# The Inno Setup compiler comes from the npm registry (the package ships ISCC.exe, a 32-bit
# Windows program); the tests find it under build/npm.
install_innosetup() {
  [ "$1" = test ] || return 0
  local top
  top=$(cd "$(dirname "$0")/.." && pwd)
  [ -f "$top/build/npm/node_modules/innosetup/bin/ISCC.exe" ] && return 0
  mkdir -p "$top/build/npm"
  npm install --prefix "$top/build/npm" --no-audit --no-fund --silent innosetup@6.4.1
}

sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
missing=()
for package in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
    missing+=("$package")
done
if [ ${#missing[@]} -eq 0 ]; then
  install_innosetup "${1:-test}"
  exit 0
fi

echo "Installing: ${missing[*]}"
if printf '%s\n' "${missing[@]}" | grep -q ':i386$'; then
  $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
install_innosetup "${1:-test}"
