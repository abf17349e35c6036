#!/usr/bin/env bash
# Builds the example installer around a built ostra.exe, installs it silently under Wine into a
# fresh folder, and checks the installed data file byte for byte and the exit statuses the
# installer saw: 1 for each stamp, 0 for a marker that is absent, -1 for a bad option.
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
status=0
"$loader" "$work/setup.exe" /S /D="$("$loader" winepath -w "$work/install")" </dev/null >/dev/null 2>&1 ||
  status=$?
wineserver -w

installed="$work/install/Example Product/product.dat"
expected=$(python3 - "$here/product.dat" <<'PY'
import sys
data = open(sys.argv[1], "rb").read()
for marker, value in ((b"@@SERIAL-PLACEHOLDER@@", b"SN-2026-0042"), (b"@@BUILD-PLACEHOLDER@@", b"build 77")):
    data = data.replace(marker, value.ljust(len(marker), b"\0"), 1)
print(data.hex())
PY
)
actual=$(python3 -c 'import sys; print(open(sys.argv[1], "rb").read().hex())' "$installed")
statuses=$(cat "$work/install/statuses.txt")

fail=0
[ "$status" -eq 0 ] || { echo "installer exited with $status"; fail=1; }
expected_statuses="1 1 0 $minus_one"
[ "$statuses" = "$expected_statuses" ] ||
  { echo "statuses seen by the installer: '$statuses', expected '$expected_statuses'"; fail=1; }
[ "$actual" = "$expected" ] || { echo "installed data file differs:"; echo "$actual"; echo "expected:"; echo "$expected"; fail=1; }
[ ! -e "$work/install/Example Product/stamp.rsp" ] || { echo "argument file left behind"; fail=1; }
[ $fail -eq 0 ] && echo "$target installer stamped the data file; statuses $statuses"
exit $fail
