; A small silent installer that ships ostra.exe with a data file holding two placeholders, and
; stamps them while it installs: the serial given to the installer on its command line, then a
; build id through an argument file the installer writes. The installation stops when the serial
; is refused or not stamped. It also records every exit status it saw.
;
; Build:   makensis -DOSTRA_EXE=path\to\ostra.exe -DOUT_FILE=setup.exe setup.nsi
;          (add -DTARGET=amd64-unicode for a 64-bit installer around the 64-bit ostra.exe)
; Install: setup.exe /S /SERIAL=SN-2026-0042 /D=C:\path\to\folder      (/D= last, unquoted)
; Exit status: 0 installed; 2 serial refused (nothing installed); 3 serial not stamped;
; 4 bad command line for ostra; 5 ostra.exe could not be started. Abort keeps the files extracted
; before it, which is why the serial is checked before anything is extracted.

!ifndef TARGET
  !define TARGET x86-unicode
!endif
!ifndef DATA_FILE
  !define DATA_FILE product.dat
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

  ; The placeholder @@SERIAL-PLACEHOLDER@@ is 22 bytes, the longest serial the product accepts:
  ; ostra would cut a longer one. The serial goes in double quotes, which ostra.exe's C run time
  ; parses: a double quote in it or a backslash at its end would change where it ends.
  StrLen $1 $Serial
  IntCmp $1 0 serial_refused
  IntCmp $1 22 0 0 serial_refused
  StrCpy $2 $Serial "" -1
  StrCmp $2 "\" serial_refused
  StrCpy $2 0
  next_character:
    StrCpy $3 $Serial 1 $2
    StrCmp $3 '"' serial_refused
    IntOp $2 $2 + 1
    IntCmp $2 $1 0 next_character
  Goto serial_accepted
  serial_refused:
    MessageBox MB_OK|MB_ICONSTOP "Give a serial of 1 to 22 characters, without a double quote or a trailing backslash: /SERIAL=value." /SD IDOK
    SetErrorLevel 2
    Abort
  serial_accepted:

  ; A folder whose path has a space in it, to prove the quoting.
  SetOutPath "${APP_DIR}"
  File "${OSTRA_EXE}"
  File "/oname=product.dat" "${DATA_FILE}"

  ; 1. Options on the command line; nsExec runs ostra.exe without a console window and pushes its
  ;    exit status (1 stamped, 0 not, -1 bad command line; "error" when it could not start), then
  ;    what it printed.
  nsExec::ExecToStack '"$INSTDIR\Example Product\ostra.exe" /burnfile "$INSTDIR\Example Product\product.dat" /burnstring @@SERIAL-PLACEHOLDER@@ /burnsn "$Serial"'
  Pop $0
  Pop $R1
  StrCmp $0 1 stamped
  StrCmp $0 0 0 not_zero
    MessageBox MB_OK|MB_ICONSTOP "The serial was not stamped: placeholder absent, or product.dat held by another program." /SD IDOK
    SetErrorLevel 3
    Abort
  not_zero:
  StrCmp $0 error 0 bad_command_line
    MessageBox MB_OK|MB_ICONSTOP "ostra.exe could not be started." /SD IDOK
    SetErrorLevel 5
    Abort
  bad_command_line:
    MessageBox MB_OK|MB_ICONSTOP "ostra was given a bad command line (status $0): $R1" /SD IDOK
    SetErrorLevel 4
    Abort
  stamped:

  ; 2. The same through an argument file, for values that are awkward on a command line.
  FileOpen $9 "${APP_DIR}\stamp.rsp" w
  FileWrite $9 '-burnfile "${APP_DIR}\product.dat"$\r$\n'
  FileWrite $9 '-burnstring @@BUILD-PLACEHOLDER@@$\r$\n'
  FileWrite $9 '-burnsn "build 77"$\r$\n'
  FileClose $9
  nsExec::ExecToStack '${OSTRA} "@${APP_DIR}\stamp.rsp"'
  Pop $1
  Pop $R1

  ; 3. A placeholder that is not (or no longer) there gives 0, a bad option -1, and a program
  ;    that is not there "error".
  nsExec::ExecToStack '${OSTRA} /burnfile "${APP_DIR}\product.dat" /burnstring @@SERIAL-PLACEHOLDER@@ /burnsn again'
  Pop $2
  Pop $R1
  nsExec::ExecToStack '${OSTRA} /burnfile "${APP_DIR}\product.dat" /nosuchoption'
  Pop $3
  Pop $R1
  nsExec::ExecToStack '"${APP_DIR}\missing.exe"'
  Pop $4
  Pop $R1

  Delete "${APP_DIR}\stamp.rsp"

  FileOpen $9 "$INSTDIR\statuses.txt" w
  FileWrite $9 "$0 $1 $2 $3 $4"
  FileClose $9
SectionEnd
