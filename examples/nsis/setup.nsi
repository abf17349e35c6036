; A small silent installer that ships ostra.exe with a data file holding two placeholders, and
; stamps them while it installs: the serial given to the installer with the options on the command
; line, then a build id through an argument file the installer writes. The installation stops when
; the serial is not stamped. It also records every exit status it saw.
;
; Build:   makensis -DOSTRA_EXE=path\to\ostra.exe -DOUT_FILE=setup.exe setup.nsi
;          (add -DTARGET=amd64-unicode for a 64-bit installer around the 64-bit ostra.exe)
; Install: setup.exe /S /SERIAL=SN-2026-0042 /D=C:\path\to\folder      (/D= last, unquoted)
; Exit status: 0 installed; 3 serial not stamped; 4 bad command line for ostra (no serial given).

!ifndef TARGET
  !define TARGET x86-unicode
!endif
Target ${TARGET}
Name "Ostra Example Product"
OutFile "${OUT_FILE}"
RequestExecutionLevel user
SilentInstall silent
InstallDir "$TEMP\OstraExample"

!define APP_DIR "$INSTDIR\Example Product"
!define OSTRA '"${APP_DIR}\ostra.exe"'
!include FileFunc.nsh
Var Serial

Section "Install"
  ${GetParameters} $R0
  ${GetOptions} $R0 "/SERIAL=" $Serial

  ; A folder whose path has a space in it, to prove the quoting.
  SetOutPath "${APP_DIR}"
  File "${OSTRA_EXE}"
  File "product.dat"

  ; 1. Options on the command line; the status is 1 when the serial was written. A serial holds no
  ;    spaces; an empty one leaves /burnsn without its value, which ostra refuses with -1.
  ExecWait '"$INSTDIR\Example Product\ostra.exe" /burnfile "$INSTDIR\Example Product\product.dat" /burnstring @@SERIAL-PLACEHOLDER@@ /burnsn $Serial' $0
  StrCmp $0 1 stamped
  StrCmp $0 0 0 bad_command_line
    MessageBox MB_OK|MB_ICONSTOP "The serial was not stamped: placeholder absent, serial too long, or product.dat missing or held by another program." /SD IDOK
    SetErrorLevel 3
    Abort
  bad_command_line: ; -1, which a 64-bit installer reads as 4294967295
    MessageBox MB_OK|MB_ICONSTOP "ostra was given a bad command line (status $0)." /SD IDOK
    SetErrorLevel 4
    Abort
  stamped:

  ; 2. The same through an argument file, for values that are awkward on a command line.
  FileOpen $9 "${APP_DIR}\stamp.rsp" w
  FileWrite $9 '-burnfile "${APP_DIR}\product.dat"$\r$\n'
  FileWrite $9 '-burnstring @@BUILD-PLACEHOLDER@@$\r$\n'
  FileWrite $9 '-burnsn "build 77"$\r$\n'
  FileClose $9
  ExecWait '${OSTRA} "@${APP_DIR}\stamp.rsp"' $1

  ; 3. A placeholder that is not (or no longer) there gives 0; a bad option gives -1.
  ExecWait '${OSTRA} /burnfile "${APP_DIR}\product.dat" /burnstring @@SERIAL-PLACEHOLDER@@ /burnsn again' $2
  ExecWait '${OSTRA} /burnfile "${APP_DIR}\product.dat" /nosuchoption' $3

  Delete "${APP_DIR}\stamp.rsp"

  FileOpen $9 "$INSTDIR\statuses.txt" w
  FileWrite $9 "$0 $1 $2 $3"
  FileClose $9
SectionEnd
