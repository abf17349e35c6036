#!/usr/bin/env bash
# tools/install-deps.sh against stand-ins for apt-get, dpkg and the 32-bit probe's linker: a mirror
# whose update fails for one index, kernels that do and do not run 32-bit programs, and packages
# that cannot be installed. Each row: the probe's answer, the packages apt refuses, OSTRA_NO_32BIT,
# the script's expected status, what its output must say, and whether i386 is added.
set -uo pipefail
script=$(cd "$(dirname "$0")/.." && pwd)/tools/install-deps.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
cat >"$work/bin/apt-get" <<'EOF'
#!/bin/sh
echo "apt-get $*" >>"$LOG"
case $1 in
  update) echo "E: Failed to fetch .../binary-i386/Packages.xz  File has unexpected size"; exit 100 ;;
esac
for package; do
  for refused in $REFUSED; do [ "$package" = "$refused" ] && exit 100; done
done
exit 0
EOF
cat >"$work/bin/dpkg" <<'EOF'
#!/bin/sh
echo "dpkg $*" >>"$LOG"
EOF
printf '#!/bin/sh\nexit 1\n' >"$work/bin/dpkg-query"
printf '#!/bin/sh\nexit 0\n' >"$work/bin/npm"
printf '#!/bin/sh\n"$@"\n' >"$work/bin/sudo"
# The probe's program: a script that exits 0 where 32-bit programs run, else bytes the kernel
# refuses to execute, as a kernel without 32-bit support refuses the real one.
cat >"$work/bin/ld" <<'EOF'
#!/bin/sh
while [ $# -gt 1 ]; do [ "$1" = -o ] && out=$2; shift; done
if [ "$PROBE" = yes ]; then printf '#!/bin/sh\nexit 0\n' >"$out"; else printf '\177ELF\1\1\1\0\0\0' >"$out"; fi
chmod +x "$out"
EOF
chmod +x "$work"/bin/*

fail=0
while IFS='|' read -r probe refused no32 want_status want_text want_i386; do
  export LOG=$work/log PROBE=$probe REFUSED=$refused
  : >"$LOG"
  status=0
  output=$(PATH=$work/bin:$PATH OSTRA_NO_32BIT=$no32 bash "$script" test 2>&1) || status=$?
  i386=no
  grep -q -- '--add-architecture i386' "$LOG" && i386=yes
  row="probe=$probe refused='$refused' OSTRA_NO_32BIT='$no32'"
  [ "$status" = "$want_status" ] || { echo "$row: status $status, expected $want_status"; fail=1; }
  [[ $output == *"$want_text"* ]] || { echo "$row: output lacks '$want_text':"; echo "$output"; fail=1; }
  [ "$i386" = "$want_i386" ] || { echo "$row: i386 added: $i386, expected $want_i386"; fail=1; }
  if [ "$want_i386" = no ] && grep -q 'install.*wine32' "$LOG"; then
    echo "$row: wine32 installed where it cannot run"; fail=1
  fi
done <<'TABLE'
no|||0|apt-get update failed (status 100): going on|no
no|||0|this kernel runs no 32-bit programs: wine32:i386 is not installed|no
yes|wine32:i386||0|wine32:i386 could not be installed: going on without it|yes
yes||1|0|OSTRA_NO_32BIT is set: wine32:i386 is not installed|no
no|rpm||1|cannot install: rpm|no
TABLE
[ $fail -eq 0 ] && echo "install-deps: every case passed"
exit $fail
