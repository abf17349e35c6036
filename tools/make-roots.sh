#!/usr/bin/env bash
# Makes, once, the Linux systems that tests run the program in as a customer's machine would run it:
#   build/roots/debian11        Debian 11 (glibc 2.31), amd64, minimal: `chroot` runs programs in it
#   build/roots/debian13        Debian 13, amd64, minimal
#   build/roots/debian11-arm64  Debian 11, arm64, unpacked only: `qemu-aarch64-static -L` takes its
#                               libraries; nothing in it runs by itself
# Each is made in a scratch folder and renamed when whole, so a run that was stopped leaves nothing
# half made, and a later run makes only what is missing. The roots are the cache: a test that
# installs into one works on a copy of it (copy_root of tools/lib.sh), so that no test sees
# another's leftovers. Prints the folder that holds the roots. `make-roots.sh NAME...` makes only
# the roots named.
set -euo pipefail
# shellcheck source=tools/lib.sh
. "$(dirname "$0")/lib.sh"

# The Debian archive this machine's apt reaches, as its sources name it.
debian_archive() {
  local sources=(/etc/apt/sources.list.d/*.sources) lists=(/etc/apt/sources.list /etc/apt/sources.list.d/*.list)
  {
    sed -n 's|^URIs:[[:space:]]*\([^[:space:]]*/debian\)/*[[:space:]]*$|\1|p' "${sources[@]}" || true
    sed -n 's|^deb[[:space:]]\+\(\[[^]]*\][[:space:]]\+\)\?\([^[:space:]]*/debian\)/*[[:space:]].*|\2|p' \
      "${lists[@]}" || true
  } 2>/dev/null | head -n 1
}

# make_root NAME DEBOOTSTRAP-ARGUMENTS... SUITE
make_root() {
  local name=$1 archive
  shift
  [ -d "$roots_dir/$name" ] && return 0
  archive=$(debian_archive)
  [ -n "$archive" ] || { echo "make-roots: apt names no Debian archive" >&2; return 1; }
  local scratch="$roots_dir/.$name.partial" start=$SECONDS
  rm -rf "$scratch"
  mkdir -p "$roots_dir"
  if ! debootstrap --variant=minbase "$@" "$scratch" "$archive" >"$roots_dir/$name.log" 2>&1; then
    echo "make-roots: debootstrap of $name failed; the end of its log:" >&2
    tail -n 20 "$roots_dir/$name.log" >&2
    return 1
  fi
  mv "$scratch" "$roots_dir/$name"
  echo "make-roots: $name made in $((SECONDS - start)) s" >&2
}

[ $# -gt 0 ] || set -- debian11 debian13 debian11-arm64
for name; do
  case $name in
    debian11) make_root debian11 bullseye ;;
    debian13) make_root debian13 trixie ;;
    debian11-arm64) make_root debian11-arm64 --foreign --arch=arm64 bullseye ;;
    *) echo "make-roots: no root named $name" >&2; exit 2 ;;
  esac
done
echo "$roots_dir"
