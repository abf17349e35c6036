; A small silent installer that installs a data file holding two placeholders, stamped: the serial
; given to the installer on its command line, then a build id. ostra.exe and the data file are
; extracted to $PLUGINSDIR and stamped there; the data file is copied into the installation folder
; only once both stamps are written, under a new name, checked byte for byte and then put in place
; of the installed one in one step, so an installation that stops leaves the earlier one as it was
; (Abort keeps whatever was extracted before it). ostra.exe is not installed.
;
; Build:   makensis -DOSTRA_EXE=path\to\ostra.exe -DOUT_FILE=setup.exe setup.nsi
;          (add -DTARGET=amd64-unicode for a 64-bit installer around the 64-bit ostra.exe)
; Install: setup.exe /S /SERIAL=SN-2026-0042 /D=C:\path\to\folder      (/D= last, unquoted)
;          setup.exe /S "/SERIAL=SN 2026 42" or /SERIAL="SN 2026 42" for a serial with spaces
;          Run again without /SERIAL= over the same folder (a reinstall or an upgrade), it stamps
;          the serial of the last installation there; with /SERIAL=, the one given.
; Remove:  folder\uninstall.exe /S removes the installation, and the serial remembered for it.
; Exit status: 0 installed; 2 serial refused; 3 a placeholder not stamped; 4 bad command line for
; ostra; 5 ostra.exe could not be started; 6 the data file could not be installed. Nothing is
; changed unless the status is 0.

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
; What the last installation left: its folder, and the serial it stamped there, which a reinstall
; or an upgrade into that folder stamps again when no /SERIAL= is given. HKCU is the user's own.
!define REMEMBERED "Software\Ostra Example Product"
InstallDirRegKey HKCU "${REMEMBERED}" "InstallDir"

!include LogicLib.nsh
!include FileFunc.nsh

; A folder whose path has a space in it, to prove the quoting.
!define APP_DIR "$INSTDIR\Example Product"
; The placeholder is 22 bytes, the longest serial the product accepts: ostra would cut a longer one.
!define SERIAL_PLACEHOLDER @@SERIAL-PLACEHOLDER@@
!define SERIAL_MAX 22
; What a serial may hold: printable ASCII, which every ANSI code page keeps as it is (ostra.exe
; reads its argument file in that code page, which may lack any other character), except the
; double quote, which the argument file cannot hold: it has no escape for it.
!define SERIAL_CHARACTERS " !#$$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\]^_`abcdefghijklmnopqrstuvwxyz{|}~"

Var Serial
Var SerialGiven

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
      StrCpy $SerialGiven 1
      IntOp $R2 $R2 + 9
      StrCpy $R0 $R0 "" $R2
      ${ExitDo}
    ${EndIf}
    ; The whole option in quotes: its value is then taken as if it were in them.
    StrCpy $R3 $R0 10 $R2
    ${If} $R3 == ' "/SERIAL='
      StrCpy $SerialGiven 1
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

; Without /SERIAL=, sets $Serial to the one remembered for $INSTDIR, if any.
Function RememberedSerial
  ${If} $SerialGiven != 1
    ReadRegStr $R0 HKCU "${REMEMBERED}" "InstallDir"
    ${If} $R0 == $INSTDIR
      ReadRegStr $Serial HKCU "${REMEMBERED}" "Serial"
    ${EndIf}
  ${EndIf}
FunctionEnd

; Stops the installation with status 2 unless $Serial is 1 to SERIAL_MAX characters of
; SERIAL_CHARACTERS.
Function CheckSerial
  StrLen $R1 $Serial
  ${If} $R1 = 0
  ${OrIf} $R1 > ${SERIAL_MAX}
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
    MessageBox MB_OK|MB_ICONSTOP "Give a serial of 1 to ${SERIAL_MAX} printable ASCII characters, without a double quote: /SERIAL=value." /SD IDOK
    SetErrorLevel 2
    Abort
FunctionEnd

; Stamps the placeholder on the stack's top with the value below it in product.dat, both taken off
; the stack, and stops the installation unless ostra gives 1, stamped: 0 is a placeholder absent
; or the file held by another program, "error" a program that could not be started, anything else
; a bad command line. The value reaches ostra in an argument file in UTF-16, which no code page
; changes, in $PLUGINSDIR, which only the user can read, and never on a command line. Every name
; ostra is given is relative to $PLUGINSDIR, the working folder: a $TEMP whose name the code page
; cannot spell would reach ostra as another name.
Function Stamp
  Exch $R0
  Exch
  Exch $R1
  SetOutPath $PLUGINSDIR
  FileOpen $9 "$PLUGINSDIR\stamp.rsp" w
  FileWriteUTF16LE /BOM $9 '-burnfile product.dat$\r$\n-burnstring $R0$\r$\n-burnsn "$R1"$\r$\n'
  FileClose $9
  nsExec::ExecToStack '"$PLUGINSDIR\ostra.exe" @stamp.rsp'
  Delete "$PLUGINSDIR\stamp.rsp"
  Pop $0
  Pop $1
  ${If} $0 == 1
    Pop $R1
    Pop $R0
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
!macro Stamp PLACEHOLDER VALUE
  Push "${VALUE}"
  Push "${PLACEHOLDER}"
  Call Stamp
!macroend

; Sets $R9 to 1 when the files $R7 and $R8 hold the same bytes, else to 0.
Function SameBytes
  StrCpy $R9 0
  ClearErrors
  FileOpen $R5 $R7 r
  FileOpen $R6 $R8 r
  ${IfNot} ${Errors}
    ${Do}
      FileReadByte $R5 $R3
      ${If} ${Errors}
        ; The end of the first file: the same bytes only if it is the end of the second too.
        ClearErrors
        FileReadByte $R6 $R4
        ${IfThen} ${Errors} ${|} StrCpy $R9 1 ${|}
        ${ExitDo}
      ${EndIf}
      FileReadByte $R6 $R4
      ${If} ${Errors}
      ${OrIf} $R3 != $R4
        ${ExitDo}
      ${EndIf}
    ${Loop}
  ${EndIf}
  FileClose $R5
  FileClose $R6
FunctionEnd

; Puts the stamped product.dat in place of the installed one, or stops the installation with
; status 6 and the installed one as it was. The copy is made under a new name and checked byte
; for byte, since a copy can fail unreported (CopyFiles under Wine sets no error for a file that
; another program holds), and then replaces the installed file in one step, which fails as a
; whole; the installed file is checked again after that.
Function PutInPlace
  CreateDirectory "${APP_DIR}"
  Delete "${APP_DIR}\product.dat.new"
  CopyFiles /SILENT "$PLUGINSDIR\product.dat" "${APP_DIR}\product.dat.new"
  StrCpy $R7 "$PLUGINSDIR\product.dat"
  StrCpy $R8 "${APP_DIR}\product.dat.new"
  Call SameBytes
  ; A file that another program holds cannot be replaced; Wine would replace it all the same.
  ${If} $R9 = 1
  ${AndIf} ${FileExists} "${APP_DIR}\product.dat"
    ClearErrors
    FileOpen $R5 "${APP_DIR}\product.dat" a
    ${IfThen} ${Errors} ${|} StrCpy $R9 0 ${|}
    FileClose $R5
  ${EndIf}
  ${If} $R9 = 1
    ; MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH
    System::Call 'kernel32::MoveFileExW(w "${APP_DIR}\product.dat.new", w "${APP_DIR}\product.dat", i 9) i .R9'
    StrCpy $R8 "${APP_DIR}\product.dat"
    ${If} $R9 <> 0
      Call SameBytes
    ${EndIf}
  ${EndIf}
  ${If} $R9 <> 1
    Delete "${APP_DIR}\product.dat.new"
    MessageBox MB_OK|MB_ICONSTOP "product.dat could not be installed into ${APP_DIR}: is it in use?" /SD IDOK
    SetErrorLevel 6
    Abort
  ${EndIf}
FunctionEnd

Section "Install"
  Call ReadSerial
  Call RememberedSerial
  Call CheckSerial

  InitPluginsDir
  File "/oname=$PLUGINSDIR\ostra.exe" "${OSTRA_EXE}"
  File "/oname=$PLUGINSDIR\product.dat" "${DATA_FILE}"
  !insertmacro Stamp ${SERIAL_PLACEHOLDER} $Serial
  !insertmacro Stamp @@BUILD-PLACEHOLDER@@ "build 77"

  ; Both stamped: only now does anything reach the installation folder.
  Call PutInPlace
  WriteRegStr HKCU "${REMEMBERED}" "InstallDir" $INSTDIR
  WriteRegStr HKCU "${REMEMBERED}" "Serial" $Serial
  WriteUninstaller "$INSTDIR\uninstall.exe"
SectionEnd

; Removes the data file, and the remembered serial when it is this installation's.
Section "Uninstall"
  Delete "${APP_DIR}\product.dat"
  RMDir "${APP_DIR}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  ReadRegStr $R0 HKCU "${REMEMBERED}" "InstallDir"
  ${If} $R0 == $INSTDIR
    DeleteRegKey HKCU "${REMEMBERED}"
  ${EndIf}
SectionEnd
