#!/usr/bin/env bash
# Installs the Debian packages that are missing for building (`build`) or for every test of both
# builds (`test`). Does nothing when everything is there already.
#
# A mirror caught mid-sync fails `apt-get update` for one index while every other one is fresh: that
# is reported and the install goes on with the lists apt has. The script fails only when a package
# the tests need cannot be installed, and names it. The 32-bit Wine loader (`wine32:i386`) is
# installed only where the kernel runs 32-bit programs and OSTRA_NO_32BIT is not set; where it is not
# installed, the test command builds and checks the PE32 but does not run it.
set -euo pipefail

build_packages=(cmake make g++ python3)
test_packages=("${build_packages[@]}" libgtest-dev googletest g++-mingw-w64-i686 g++-mingw-w64-x86-64
               wine wine64 clang libclang-rt-14-dev time nsis zip unzip
               wixl msitools osslsigncode openssl man-db dpkg-dev file xvfb lintian mandoc
               qemu-user-static g++-aarch64-linux-gnu libc6-dev-arm64-cross
               debootstrap rpm rpmlint makeself)
wine32=wine32:i386

case "${1:-test}" in
  build) wanted=("${build_packages[@]}") ;;
  test) wanted=("${test_packages[@]}") ;;
  *) echo "usage: $0 [build|test]" >&2; exit 2 ;;
esac
say() { echo "install-deps: $*"; }

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

# Whether this kernel runs 32-bit x86 programs: a program of a few instructions, made with the
# assembler and linker every C++ toolchain brings, has to start and exit 0. It makes its exit call
# through the kernel's vsyscall entry (AT_SYSINFO), as the C library does, since some kernels refuse
# `int $0x80` alone while running ordinary 32-bit programs.
runs_32bit_programs() {
  local dir status=0
  dir=$(mktemp -d)
  cat >"$dir/probe.s" <<'ASM'
    .globl _start
_start:
    mov (%esp), %ecx
    lea 8(%esp,%ecx,4), %esi      # the environment, after argc, the arguments and their null
1:  lodsl
    test %eax, %eax
    jnz 1b
2:  lodsl                         # the auxiliary vector: type, then value
    mov %eax, %edx
    lodsl
    test %edx, %edx
    jz 3f
    cmp $32, %edx                 # AT_SYSINFO
    jne 2b
    mov %eax, %edx
    mov $1, %eax                  # exit(0)
    xor %ebx, %ebx
    call *%edx
3:  mov $1, %eax
    xor %ebx, %ebx
    int $0x80
ASM
  { as --32 -o "$dir/probe.o" "$dir/probe.s" && ld -m elf_i386 -o "$dir/probe" "$dir/probe.o" &&
      "$dir/probe"; } >/dev/null 2>&1 || status=$?
  rm -rf "$dir"
  return $status
}

# Installs the packages named, all at once; when apt refuses the set, one by one, so that the ones
# that cannot be installed are named. Returns 1 when any could not be.
install_packages() {
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "$@" && return 0
  local package failed=()
  [ $# -gt 1 ] || failed=("$1")
  [ $# -eq 1 ] || for package in "$@"; do
    installed "$package" && continue
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "$package" ||
      failed+=("$package")
  done
  [ ${#failed[@]} -eq 0 ] && return 0
  say "cannot install: ${failed[*]}"
  return 1
}

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
  installed "$package" || missing+=("$package")
done

# apt-get update, going on when it fails for some index: the lists it did update still serve.
updated=""
update_package_lists() {
  local status=0
  updated=yes
  $sudo apt-get update -qq || status=$?
  [ $status -eq 0 ] ||
    say "apt-get update failed (status $status): going on with the package lists apt has"
}

if [ ${#missing[@]} -gt 0 ]; then
  update_package_lists
  echo "Installing: ${missing[*]}"
  install_packages "${missing[@]}" || exit 1
fi

# The 32-bit loader, where it can run and is wanted; the probe needs the assembler and linker that
# come with g++, installed above.
if [ "${1:-test}" = test ] && ! installed "$wine32"; then
  if [ -n "${OSTRA_NO_32BIT:-}" ]; then
    say "OSTRA_NO_32BIT is set: $wine32 is not installed"
  elif ! runs_32bit_programs; then
    say "this kernel runs no 32-bit programs: $wine32 is not installed"
  else
    # A new architecture needs its package lists.
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
      $sudo dpkg --add-architecture i386
      updated=""
    fi
    [ -n "$updated" ] || update_package_lists
    install_packages "$wine32" ||
      say "this kernel runs 32-bit programs, but $wine32 could not be installed: going on without it"
  fi
fi
install_innosetup "${1:-test}"
