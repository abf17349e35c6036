#!/usr/bin/env bash
# Builds the example installer around a built ostra.exe and installs it silently under Wine into
# fresh folders: with a serial (both placeholders stamped, checked byte for byte, and the exit
# statuses the installer saw: 1 for each stamp, 0 for a marker that is absent, -1 for a bad
# option), with a serial too long to stamp (stops with 3, data file untouched) and without a serial
# (a bad command line for ostra: stops with 4).
#   test_installer.sh OSTRA.EXE [WINE-LOADER [NSIS-TARGET]]
# A 64-bit ostra.exe goes into a 64-bit installer (target amd64-unicode), run by the 64-bit loader.
set -euo pipefail
exe=$(readlink -f "${1:?usage: $0 path/to/ostra.exe [wine-loader [nsis-target]]}")
loader=${2:-wine}
target=${3:-x86-unicode}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d /tmp/ostra-nsis-XXXXXX)
trap 'rm -rf "$work"' EXIT
export WINEDEBUG=-all

# A 64-bit installer's ExecWait shows the status as an unsigned 32-bit number.
case $target in
  amd64-*) minus_one=4294967295 ;;
  *) minus_one=-1 ;;
esac

makensis -V2 -DTARGET=$target -DOSTRA_EXE="$exe" -DOUT_FILE="$work/setup.exe" "$here/setup.nsi" >/dev/null

# The data file as installed on one line, zero bytes shown as dots and line ends as `|`, after stamping the given marker/value pairs.
stamped() {
  python3 - "$here/product.dat" "$@" <<'PY'
import sys
data = open(sys.argv[1], "rb").read()
for marker, value in zip(sys.argv[2::2], sys.argv[3::2]):
    data = data.replace(marker.encode(), value.encode().ljust(len(marker), b"\0"), 1)
sys.stdout.write(data.decode().replace("\0", ".").replace("\n", "|"))
PY
}

fail=0
long=$(printf 'S%.0s' {1..80})
# installer option, installer's exit status, data file installed
while IFS=' ' read -r option want_status want_data; do
  dir="$work/install-$want_status"
  status=0
  target_dir=$("$loader" winepath -w "$dir")
  # Wine's errors and what the programs the installer starts print are kept: on a failure they may
  # tell why.
  WINEDEBUG=-all,err+all "$loader" "$work/setup.exe" /S $option /D="$target_dir" </dev/null \
    >"$dir.log" 2>&1 || status=$?
  wineserver -w
  data=$(tr '\0\n' '.|' <"$dir/Example Product/product.dat")
  [ "$status" -eq "$want_status" ] && [ "$data" = "$want_data" ] ||
    { echo "setup.exe /S $option: exit status $status, installed data file:"; echo "$data"
      echo "what the installer and the programs it ran printed:"; cat "$dir.log"; fail=1; }
done <<CASES
/SERIAL=SN-2026-0042 0 $(stamped @@SERIAL-PLACEHOLDER@@ SN-2026-0042 @@BUILD-PLACEHOLDER@@ "build 77")
/SERIAL=$long 3 $(stamped)
/NOSERIAL 4 $(stamped)
CASES

statuses=$(cat "$work/install-0/statuses.txt")
expected_statuses="1 1 0 $minus_one"
[ "$statuses" = "$expected_statuses" ] ||
  { echo "statuses seen by the installer: '$statuses', expected '$expected_statuses'"; fail=1; }
[ ! -e "$work/install-0/Example Product/stamp.rsp" ] || { echo "argument file left behind"; fail=1; }
[ $fail -eq 0 ] && echo "$target installer: stamped, stopped when not stamped and on a bad command line; statuses $statuses"
exit $fail
