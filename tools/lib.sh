# shellcheck shell=bash disable=SC2034 # it defines names for the scripts that source it
# What the scripts of tools/ and the Linux recipes' tests share; sourced (`. tools/lib.sh`, or
# beside the sourcing script), it defines functions and names and runs nothing:
#   ostra_root, roots_dir      the repository, and the folder tools/make-roots.sh makes roots in
#   qemu_arm64                 the emulator that runs arm64 programs here
#   ostra_version              the version the sources build
#   copy_root                  a private copy of one of the roots
#   unpack                     a package unpacked by its kind
#   run_stamp                  a file written, stamped by a command, and compared

ostra_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
roots_dir=$ostra_root/build/roots
# The emulator for arm64 programs; static, so a root can hold it. `-L DIR` names the root an arm64
# program's libraries come from.
qemu_arm64=/usr/bin/qemu-aarch64-static

# ostra_version: prints the version in the top CMakeLists.txt's project().
ostra_version() {
  sed -n 's/^project(ostra VERSION \([0-9.]*\).*/\1/p' "$ostra_root/CMakeLists.txt"
}

# copy_root NAME DEST: DEST becomes a private copy of root NAME, so that no test sees another's
# leftovers.
copy_root() {
  rm -rf "$2"
  cp -a "$roots_dir/$1" "$2"
}

# unpack PACKAGE DIR: unpacks PACKAGE (.tar.gz, .zip, .deb or .rpm) into the existing DIR.
unpack() {
  case $1 in
    *.tar.gz) tar -xzf "$1" -C "$2" ;;
    *.zip) unzip -q "$1" -d "$2" ;;
    *.deb) dpkg-deb -x "$1" "$2" ;;
    *.rpm) rpm2archive - <"$1" | tar -xz -C "$2" ;;
    *) echo "unpack: $1 is no package this knows" >&2; return 2 ;;
  esac
}

# run_stamp FILE CONTENT WANT-STATUS WANT-BYTES COMMAND...: writes CONTENT (a printf format) to
# FILE, runs COMMAND with its output dropped, and sets `status` to its exit status and `bytes` to
# FILE's bytes afterwards in hexadecimal; succeeds when they are WANT-STATUS and WANT-BYTES (a
# printf format).
run_stamp() {
  local file=$1 content=$2 want_status=$3 want_bytes=$4
  shift 4
  # shellcheck disable=SC2059 # the formats are the callers' byte strings
  printf "$content" >"$file"
  status=0
  "$@" >/dev/null 2>&1 || status=$?
  # -v: od otherwise shows repeated lines as one `*`, and 32 zero bytes would pass for 48.
  bytes=$(od -An -v -tx1 "$file" | tr -d ' \n')
  # shellcheck disable=SC2059
  [ "$status" -eq "$want_status" ] && [ "$bytes" = "$(printf "$want_bytes" | od -An -v -tx1 | tr -d ' \n')" ]
}
