#!/usr/bin/env bash
# Checks that a built program is a Windows console program, either kind: 32-bit (PE32, i386) or
# 64-bit (PE32+, x86-64), that imports only Windows system DLLs, so it runs without any mingw DLL
# beside it.
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
system_dlls=" kernel32.dll user32.dll shell32.dll version.dll advapi32.dll msvcrt.dll ws2_32.dll gdi32.dll ole32.dll "
for dll in $dlls; do
  case "$system_dlls" in
    *" $dll "*) ;;
    *) echo "$exe: imports $dll, which is not a Windows system DLL"; fail=1 ;;
  esac
done
[ $fail -eq 0 ] && echo "$exe: $kind console program; imports $(echo $dlls | tr '\n' ' ')"
exit $fail
