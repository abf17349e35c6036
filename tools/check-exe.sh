#!/usr/bin/env bash
# Checks that a built program is a 32-bit Windows console program (PE32, i686) that imports only
# Windows system DLLs, so it runs without any mingw DLL beside it.
set -euo pipefail
exe=${1:?usage: $0 PROGRAM.exe}

format=$(i686-w64-mingw32-objdump -f "$exe" | sed -n 's/.*file format //p')
subsystem=$(i686-w64-mingw32-objdump -p "$exe" | awk '/^Subsystem/ {print $2}')
dlls=$(i686-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ {print tolower($3)}' | sort -u)

fail=0
[ "$format" = "pei-i386" ] || { echo "$exe: not PE32 i386 ($format)"; fail=1; }
[ "$subsystem" = "00000003" ] || { echo "$exe: not a console program (subsystem $subsystem)"; fail=1; }
system_dlls=" kernel32.dll user32.dll shell32.dll version.dll advapi32.dll msvcrt.dll ws2_32.dll gdi32.dll ole32.dll "
for dll in $dlls; do
  case "$system_dlls" in
    *" $dll "*) ;;
    *) echo "$exe: imports $dll, which is not a Windows system DLL"; fail=1 ;;
  esac
done
[ $fail -eq 0 ] && echo "$exe: PE32 console program; imports $(echo $dlls | tr '\n' ' ')"
exit $fail
