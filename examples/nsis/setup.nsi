; A small silent installer that installs a data file holding two placeholders, stamped: the serial
; given to the installer on its command line, then a build id through an argument file. ostra.exe
; and the data file are extracted to $PLUGINSDIR and stamped there; the data file is copied into
; the installation folder only once both stamps are written, so an installation that stops leaves
; nothing behind (Abort keeps whatever was extracted before it). ostra.exe is not installed.
;
; Build:   makensis -DOSTRA_EXE=path\to\ostra.exe -DOUT_FILE=setup.exe setup.nsi
;          (add -DTARGET=amd64-unicode for a 64-bit installer around the 64-bit ostra.exe)
; Install: setup.exe /S /SERIAL=SN-2026-0042 /D=C:\path\to\folder      (/D= last, unquoted)
;          setup.exe /S "/SERIAL=SN 2026 42" or /SERIAL="SN 2026 42" for a serial with spaces
; Exit status: 0 installed; 2 serial refused; 3 a placeholder not stamped; 4 bad command line for
; ostra; 5 ostra.exe could not be started; 6 the data file could not be installed. Nothing is
; installed unless the status is 0.

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

!include LogicLib.nsh
!include FileFunc.nsh

; A folder whose path has a space in it, to prove the quoting.
!define APP_DIR "$INSTDIR\Example Product"
!define OSTRA '"$PLUGINSDIR\ostra.exe"'
; The placeholder is 22 bytes, the longest serial the product accepts: ostra would cut a longer one.
!define SERIAL_PLACEHOLDER @@SERIAL-PLACEHOLDER@@
!define SERIAL_MAX 22
; What a serial may hold: printable ASCII, which every ANSI code page keeps as it is (ostra.exe
; reads its command line in that code page, where a character it lacks becomes "?"), except the
; double quote, which would end the quotes the serial is passed in.
!define SERIAL_CHARACTERS " !#$$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\]^_`abcdefghijklmnopqrstuvwxyz{|}~"

Var Serial

; Sets $Serial to the value of /SERIAL= on the command line, every character kept: GetOptions
; would strip a quote character that begins and ends it ('SN' would give SN). A value in double
; quotes is taken from between them, provided the option ends there; any other is taken up to
; the next space.
Function ReadSerial
  ${GetParameters} $R0
  StrCpy $R0 " $R0"
  StrCpy $Serial ""
  StrLen $R1 $R0
  StrCpy $R2 0
  ${Do}
    ${If} $R2 >= $R1
      Return
    ${EndIf}
    StrCpy $R3 $R0 9 $R2
    ${If} $R3 == " /SERIAL="
      IntOp $R2 $R2 + 9
      StrCpy $R0 $R0 "" $R2
      ${ExitDo}
    ${EndIf}
    ; The whole option in quotes: its value is then taken as if it were in them.
    StrCpy $R3 $R0 10 $R2
    ${If} $R3 == ' "/SERIAL='
      IntOp $R2 $R2 + 10
      StrCpy $R0 $R0 "" $R2
      StrCpy $R0 '"$R0'
      ${ExitDo}
    ${EndIf}
    IntOp $R2 $R2 + 1
  ${Loop}
  StrLen $R1 $R0
  ; In double quotes: the closing one must end the option.
  StrCpy $R3 $R0 1
  ${If} $R3 == '"'
    StrCpy $R2 1
    ${DoWhile} $R2 < $R1
      StrCpy $R3 $R0 1 $R2
      ${If} $R3 == '"'
        IntOp $R4 $R2 + 1
        StrCpy $R4 $R0 1 $R4
        ${If} $R4 == ""
        ${OrIf} $R4 == " "
          IntOp $R2 $R2 - 1
          StrCpy $Serial $R0 $R2 1
          Return
        ${EndIf}
        ${ExitDo}
      ${EndIf}
      IntOp $R2 $R2 + 1
    ${Loop}
  ${EndIf}
  ; Unquoted, or quoted amiss: up to the next space, quotes kept, which CheckSerial refuses.
  StrCpy $R2 0
  ${DoWhile} $R2 < $R1
    StrCpy $R3 $R0 1 $R2
    ${IfThen} $R3 == " " ${|} ${ExitDo} ${|}
    IntOp $R2 $R2 + 1
  ${Loop}
  StrCpy $Serial $R0 $R2
FunctionEnd

; Stops the installation with status 2 unless $Serial is 1 to SERIAL_MAX characters of
; SERIAL_CHARACTERS and does not end with a backslash, which ostra.exe's C run time would take
; as escaping the closing quote.
Function CheckSerial
  StrLen $R1 $Serial
  StrCpy $R0 $Serial "" -1
  ${If} $R1 = 0
  ${OrIf} $R1 > ${SERIAL_MAX}
  ${OrIf} $R0 == "\"
    Goto refused
  ${EndIf}
  StrLen $R4 "${SERIAL_CHARACTERS}"
  StrCpy $R2 0
  ${DoWhile} $R2 < $R1
    StrCpy $R0 $Serial 1 $R2
    StrCpy $R3 0
    ${Do}
      ${IfThen} $R3 >= $R4 ${|} Goto refused ${|}
      StrCpy $R5 "${SERIAL_CHARACTERS}" 1 $R3
      ${IfThen} $R0 S== $R5 ${|} ${ExitDo} ${|}
      IntOp $R3 $R3 + 1
    ${Loop}
    IntOp $R2 $R2 + 1
  ${Loop}
  Return
  refused:
    MessageBox MB_OK|MB_ICONSTOP "Give a serial of 1 to ${SERIAL_MAX} printable ASCII characters, without a double quote or a trailing backslash: /SERIAL=value." /SD IDOK
    SetErrorLevel 2
    Abort
FunctionEnd

; Takes what nsExec::ExecToStack pushed (ostra's exit status, then what it printed) and stops the
; installation unless the status is 1, stamped: 0 is a placeholder absent or the file held by
; another program, "error" a program that could not be started, anything else a bad command line.
Function CheckStamp
  Pop $0
  Pop $1
  ${If} $0 == 1
    Return
  ${ElseIf} $0 == 0
    MessageBox MB_OK|MB_ICONSTOP "product.dat was not stamped: placeholder absent, or the file held by another program." /SD IDOK
    SetErrorLevel 3
  ${ElseIf} $0 == error
    MessageBox MB_OK|MB_ICONSTOP "ostra.exe could not be started." /SD IDOK
    SetErrorLevel 5
  ${Else}
    MessageBox MB_OK|MB_ICONSTOP "ostra was given a bad command line (status $0): $1" /SD IDOK
    SetErrorLevel 4
  ${EndIf}
  Abort
FunctionEnd

Section "Install"
  Call ReadSerial
  Call CheckSerial

  InitPluginsDir
  File "/oname=$PLUGINSDIR\ostra.exe" "${OSTRA_EXE}"
  File "/oname=$PLUGINSDIR\product.dat" "${DATA_FILE}"

  ; 1. Options on the command line. nsExec runs ostra.exe without a console window.
  nsExec::ExecToStack '${OSTRA} /burnfile "$PLUGINSDIR\product.dat" /burnstring ${SERIAL_PLACEHOLDER} /burnsn "$Serial"'
  Call CheckStamp

  ; 2. The same through an argument file, for values that are awkward on a command line.
  FileOpen $9 "$PLUGINSDIR\stamp.rsp" w
  FileWrite $9 '-burnfile "$PLUGINSDIR\product.dat"$\r$\n'
  FileWrite $9 '-burnstring @@BUILD-PLACEHOLDER@@$\r$\n'
  FileWrite $9 '-burnsn "build 77"$\r$\n'
  FileClose $9
  nsExec::ExecToStack '${OSTRA} "@$PLUGINSDIR\stamp.rsp"'
  Call CheckStamp

  ; Both stamped: only now does anything reach the installation folder.
  SetOutPath "${APP_DIR}"
  ClearErrors
  CopyFiles /SILENT "$PLUGINSDIR\product.dat" "${APP_DIR}"
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONSTOP "product.dat could not be copied into ${APP_DIR}." /SD IDOK
    SetErrorLevel 6
    Abort
  ${EndIf}
SectionEnd
