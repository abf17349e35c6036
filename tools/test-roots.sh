#!/usr/bin/env bash
# Runs the Linux packages' programs where customers run them, with no container: in a Debian 11
# root (glibc 2.31) and a Debian 13 root (chroot), the arm64 ones under qemu with a Debian 11 arm64
# root as its library root, each in an empty root holding the program alone (no /proc, no library)
# and each under `env -i`. Everywhere the program shows its usage (255), stamps (1 and the bytes),
# refuses a missing placeholder (0), and reads a UTF-16 argument file with non-ASCII text under
# C.UTF-8 and C. Then the amd64 .deb installs into the Debian 11 root with `dpkg --root`, its
# program and its /usr/share/ostra/stamp.sh stamp there, and it is removed; each .rpm installs into
# an empty root with `rpm --root`, its program stamps there, and it is erased.
#   test-roots.sh              the packages in build/packages (tools/test-packages.sh makes them)
#   test-roots.sh PROGRAM      an x86-64 program in place of the packages' ones, with no package
# Makes the roots first, once (tools/make-roots.sh). Runs as root (chroot, dpkg, rpm).
set -euo pipefail
cd "$(dirname "$0")/.."
[ "$(id -u)" -eq 0 ] || exec sudo "$0" "$@"

tools/make-roots.sh >/dev/null
. tools/lib.sh
version=$(ostra_version)
out=$PWD/build/packages
qemu=$qemu_arm64
chroot=$(command -v chroot)
work=$(mktemp -d /tmp/ostra-roots.XXXXXX)
trap 'rm -rf "$work"' EXIT
fail=0

# expect LABEL FILE CONTENT WANTED-STATUS WANTED-BYTES COMMAND...: run_stamp, saying what it found
# when that is not what is wanted.
expect() {
  local label=$1
  shift
  run_stamp "$@" && return 0
  echo "$label: status $status (expected $3), file bytes $bytes"
  return 1
}

# check_program LABEL PROGRAM HOST-DIR INNER-DIR RUNNER...: runs the checks above on PROGRAM as
# RUNNER (a command prefix: chroot R, qemu, nothing) sees it, with no environment, in a scratch
# folder that RUNNER sees as INNER-DIR.
check_program() {
  local label=$1 program=$2 dir=$3 inner=$4 status bytes locale want_bytes want_status
  shift 4
  local run=(env -i "$@" "$program")
  status=0
  "${run[@]}" /? >"$dir/usage.txt" 2>&1 || status=$?
  if [ $status -ne 255 ] || [[ $(head -n 1 "$dir/usage.txt") != "Usage: ostra [@argfile] "* ]]; then
    echo "$label: no usage (status $status): $(head -n 1 "$dir/usage.txt")"
    return 1
  fi
  expect "$label: stamp" "$dir/target.dat" 'id=@@ID@@;' 1 'id=42\0\0\0\0;' \
    "${run[@]}" /burnfile "$inner/target.dat" /burnstring @@ID@@ /burnsn 42 || return 1
  expect "$label: no placeholder" "$dir/target.dat" 'id=none;' 0 'id=none;' \
    "${run[@]}" /burnfile "$inner/target.dat" /burnstring @@ID@@ /burnsn 42 || return 1
  # The serial is "Ä€".
  printf '\xff\xfe' >"$dir/args.txt"
  printf '/burnfile %s/target.dat /burnstring @@ID@@ /burnsn \xc3\x84\xe2\x82\xac' "$inner" |
    iconv -f UTF-8 -t UTF-16LE >>"$dir/args.txt"
  # No locale and C read it as UTF-8; a legacy 8-bit one cannot represent it and refuses the run.
  for locale in C.UTF-8 C de_DE.ISO-8859-1; do
    want_status=1 want_bytes='id=\xc3\x84\xe2\x82\xac\0;'
    [ $locale = de_DE.ISO-8859-1 ] && want_status=255 want_bytes='id=@@ID@@;'
    expect "$label: UTF-16 argument file under $locale" "$dir/target.dat" 'id=@@ID@@;' \
      $want_status "$want_bytes" env -i LC_ALL=$locale "$@" "$program" "@$inner/args.txt" || return 1
  done
  echo "$label: usage, stamp, no placeholder, UTF-16 argument file under C.UTF-8, C and ISO-8859-1"
}

# check_everywhere LABEL ARCH PROGRAM: PROGRAM in each place its architecture runs.
check_everywhere() {
  local label=$1 arch=$2 program=$3 root dir
  if [ "$arch" = x86_64 ]; then
    for root in debian11 debian13; do
      dir=${roots[$root]}/tmp/ostra-test
      mkdir -p "$dir" && cp "$program" "$dir/ostra"
      check_program "$label in $root" /tmp/ostra-test/ostra "$dir" /tmp/ostra-test \
        "$chroot" "${roots[$root]}" || fail=1
    done
  else
    dir=$work/qemu && rm -rf "$dir" && mkdir -p "$dir" && cp "$program" "$dir/ostra"
    check_program "$label under qemu with the debian11-arm64 root" "$dir/ostra" "$dir" "$dir" \
      "$qemu" -L "$roots_dir/debian11-arm64" || fail=1
  fi
  # An empty root: the program alone (without /proc it has only argv[0] for its name), and for
  # arm64 the emulator beside it.
  dir=$work/empty && rm -rf "$dir" && mkdir -p "$dir/t" && cp "$program" "$dir/t/ostra"
  if [ "$arch" = x86_64 ]; then
    check_program "$label in an empty root" /t/ostra "$dir/t" /t "$chroot" "$dir" || fail=1
  else
    cp "$qemu" "$dir/qemu"
    check_program "$label in an empty root" /t/ostra "$dir/t" /t "$chroot" "$dir" /qemu || fail=1
  fi
  dir=$work/plain && rm -rf "$dir" && mkdir -p "$dir" && cp "$program" "$dir/ostra"
  if [ "$arch" = x86_64 ]; then
    check_program "$label under env -i" "$dir/ostra" "$dir" "$dir" || fail=1
  else
    check_program "$label under env -i" "$dir/ostra" "$dir" "$dir" "$qemu" || fail=1
  fi
}

# removed LABEL ROOT HOW: the package, removed by HOW, left none of its files in ROOT.
removed() {
  local path
  for path in usr/bin/ostra usr/share/ostra usr/share/doc/ostra usr/share/man/man1/ostra.1.gz; do
    [ -e "$2/$path" ] || continue
    echo "$1: /$path left after $3"
    fail=1
    return 1
  done
}

# Private copies of the roots the tests write into.
declare -A roots=([debian11]=$work/debian11 [debian13]=$work/debian13)
copy_root debian11 "${roots[debian11]}"
copy_root debian13 "${roots[debian13]}"

if [ $# -eq 1 ]; then
  check_everywhere "$1" x86_64 "$1"
  exit $fail
fi

# The program of each package, in every place.
for arch in x86_64 aarch64; do
  deb_arch=amd64
  [ $arch = aarch64 ] && deb_arch=arm64
  for package in "ostra-$version-linux-$arch.tar.gz" "ostra_${version}_$deb_arch.deb" \
                 "ostra-$version-1.$arch.rpm"; do
    dir=$work/unpacked && rm -rf "$dir" && mkdir -p "$dir"
    unpack "$out/$package" "$dir"
    program=$dir/usr/bin/ostra
    [[ $package != *.tar.gz ]] || program=$dir/${package%.tar.gz}/bin/ostra
    check_everywhere "$package" $arch "$program"
  done
done

# The .deb with dpkg in Debian 11: its program and the POSIX recipe stamp, and it is removed whole.
deb=ostra_${version}_amd64.deb
r=${roots[debian11]}
cp "$out/$deb" "$r/tmp/"
if dpkg --root="$r" -i "$r/tmp/$deb" >"$work/dpkg.log" 2>&1; then
  expect "$deb in debian11: /usr/share/ostra/stamp.sh" "$r/tmp/product.dat" \
    'serial=@@SERIAL-PLACEHOLDER@@;' 0 'serial=SN-1\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0;' \
    "$chroot" "$r" /usr/share/ostra/stamp.sh /tmp/product.dat SN-1 || fail=1
  mkdir -p "$r/tmp/t"
  check_program "$deb installed in debian11" /usr/bin/ostra "$r/tmp/t" /tmp/t "$chroot" "$r" || fail=1
  dpkg --root="$r" -r ostra >>"$work/dpkg.log" 2>&1 || { echo "$deb: dpkg -r failed"; fail=1; }
  removed "$deb" "$r" "dpkg -r" && echo "$deb: installed into and removed from debian11 with dpkg --root"
else
  cat "$work/dpkg.log"; echo "$deb: dpkg --root -i failed"; fail=1
fi

# Each .rpm into an empty root. It needs /bin/sh for its POSIX recipe, which the empty root lacks.
for arch in x86_64 aarch64; do
  rpm_file=ostra-$version-1.$arch.rpm
  r=$work/rpm-root && rm -rf "$r" && mkdir -p "$r"
  db=(--root "$r" --dbpath /var/lib/rpm)
  runner=("$chroot" "$r")
  if [ $arch = aarch64 ]; then
    cp "$qemu" "$r/qemu"
    runner=("$chroot" "$r" /qemu)
  fi
  # Debian's rpm warns on every install that it is no Debian tool: its messages go to a log.
  if rpm "${db[@]}" --initdb 2>"$work/rpm.log" &&
     rpm "${db[@]}" -i --nodeps --ignorearch "$out/$rpm_file" 2>>"$work/rpm.log"; then
    mkdir -p "$r/t"
    check_program "$rpm_file installed in an empty root" /usr/bin/ostra "$r/t" /t "${runner[@]}" ||
      fail=1
    rpm "${db[@]}" -e ostra 2>>"$work/rpm.log" ||
      { cat "$work/rpm.log"; echo "$rpm_file: rpm -e failed"; fail=1; }
    removed "$rpm_file" "$r" "rpm -e" &&
      echo "$rpm_file: installed into and erased from an empty root with rpm --root"
  else
    cat "$work/rpm.log"; echo "$rpm_file: rpm --root -i failed"; fail=1
  fi
done
exit $fail
