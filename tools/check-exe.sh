#!/usr/bin/env bash
# Checks that a built ostra.exe is a Windows console program, either kind: 32-bit (PE32, i386) or
# 64-bit (PE32+, x86-64), that imports only the system DLLs every run needs, kernel32 and msvcrt, so
# it runs without any mingw DLL beside it and starts without loading what only a banner or a message
# box uses; and that the release program, stripped, stays within 256 KiB.
set -euo pipefail
exe=${1:?usage: $0 PROGRAM.exe}

# The x86-64 objdump reads both kinds; the i686 one knows only PE32.
objdump=x86_64-w64-mingw32-objdump
format=$($objdump -f "$exe" | sed -n 's/.*file format //p')
headers=$($objdump -p "$exe")
magic=$(awk '/^Magic/ {print $2}' <<<"$headers")
subsystem=$(awk '/^Subsystem/ {print $2}' <<<"$headers")
dlls=$(awk '/DLL Name:/ {print tolower($3)}' <<<"$headers" | sort -u)

fail=0
case "$format/$magic" in
  pei-i386/010b) kind="PE32 (i386)" ;;
  pei-x86-64/020b) kind="PE32+ (x86-64)" ;;
  *) echo "$exe: neither PE32 i386 nor PE32+ x86-64 ($format, optional header magic $magic)"; fail=1 ;;
esac
[ "$subsystem" = "00000003" ] || { echo "$exe: not a console program (subsystem $subsystem)"; fail=1; }
for dll in $dlls; do
  case "$dll" in
    kernel32.dll|msvcrt.dll) ;;
    *) echo "$exe: imports $dll: only kernel32.dll and msvcrt.dll may be imported, others load when used"
       fail=1 ;;
  esac
done
size=$(stat -c %s "$exe")
[ "$size" -le $((256 * 1024)) ] || { echo "$exe: $size bytes, over 256 KiB"; fail=1; }
[ $fail -eq 0 ] && echo "$exe: $kind console program, $size bytes; imports $(echo $dlls)"
exit $fail
