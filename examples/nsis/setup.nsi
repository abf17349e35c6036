; A small silent installer that ships ostra.exe with a data file holding two placeholders, and
; stamps them while it installs: once with the options on the command line, once through an
; argument file the installer writes. It also records every exit status it saw.
;
; Build:   makensis -DOSTRA_EXE=path\to\ostra.exe -DOUT_FILE=setup.exe setup.nsi
;          (add -DTARGET=amd64-unicode for a 64-bit installer around the 64-bit ostra.exe)
; Install: setup.exe /S /D=C:\path\to\folder      (/D= last, unquoted)

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
!define SERIAL "SN-2026-0042"

Section "Install"
  ; A folder whose path has a space in it, to prove the quoting.
  SetOutPath "${APP_DIR}"
  File "${OSTRA_EXE}"
  File "product.dat"

  ; 1. Options on the command line; the status is 1 when the serial was written.
  ExecWait '${OSTRA} /burnfile "${APP_DIR}\product.dat" /burnstring @@SERIAL-PLACEHOLDER@@ /burnsn ${SERIAL}' $0

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

  ; A real installer would stop on anything but 1 from the stamps it needs:
  StrCmp $0 1 +2
    SetErrorLevel 2
SectionEnd
