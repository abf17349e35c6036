; A complete Inno Setup script: installs product.dat with a serial stamped into it. A wizard page
; asks for the serial, filled in from /SERIAL= on Setup's command line, and checks it on Next; a
; silent Setup takes the serial from the same page, checked by the same rules. The serial is
; stamped into a copy extracted to {tmp} before anything is installed, and [Files] installs that
; copy: a serial refused or not stamped ends a silent Setup with exit code 7 and nothing
; installed. Stamping after the files are in place cannot stop Setup: an error raised in
; CurStepChanged, AfterInstall or [Run] leaves the installation and its uninstaller.
;
; Build:   ISCC.exe /DOstraExe=path\to\ostra.exe setup.iss   (product.dat beside this script;
;          add /DWin64 around the 64-bit ostra.exe)
; Install: setup.exe, and type the serial; or setup.exe /VERYSILENT /SUPPRESSMSGBOXES /SERIAL=SN-2026-0042
; /LOG=setup.log writes a log that holds ostra's exit status, or why Setup stopped, and Setup's
; command line: with /SERIAL= on it, the serial too. Typed into the page, it stays out of the log.

#ifndef OstraExe
  #define OstraExe "ostra.exe"
#endif
#ifndef DataFile
  #define DataFile "product.dat"
#endif

[Setup]
AppName=Ostra Example Product
AppVersion=1.0
AppPublisher=Example
DefaultDirName={autopf}\Ostra Example Product
DisableProgramGroupPage=yes
OutputDir=.
OutputBaseFilename=setup
#ifdef Win64
ArchitecturesAllowed=x64compatible
ArchitecturesInstallIn64BitMode=x64compatible
#endif

[Files]
; ostra.exe and the unstamped product.dat are only extracted to {tmp}, by PrepareToInstall.
Source: "{#OstraExe}"; DestName: "ostra.exe"; Flags: dontcopy
Source: "{#DataFile}"; DestName: "product.dat"; Flags: dontcopy
Source: "{tmp}\product.dat"; DestDir: "{app}"; Flags: external ignoreversion

[Code]
const
  Placeholder = '@@SERIAL-PLACEHOLDER@@';

var
  SerialPage: TInputQueryWizardPage;

// Why Serial cannot be stamped whole, or '' when it can. The placeholder is as long as the
// longest serial the product accepts: ostra would cut a longer one. ostra.exe reads its command
// line in the ANSI code page by the C run time's rules, so a serial is printable ASCII, which no
// code page changes, without a double quote or a trailing backslash, which would end or escape
// its quotes.
function SerialProblem(const Serial: String): String;
var
  I: Integer;
begin
  Result := '';
  if Serial = '' then
    Result := 'No serial given: type it, or run Setup with /SERIAL=value'
  else if Length(Serial) > Length(Placeholder) then
    Result := Format('The serial is longer than %d characters', [Length(Placeholder)])
  else if Serial[Length(Serial)] = '\' then
    Result := 'The serial ends with a backslash'
  else
    for I := 1 to Length(Serial) do
      if (Ord(Serial[I]) < 32) or (Ord(Serial[I]) > 126) or (Serial[I] = '"') then
        Result := 'The serial holds a double quote or a character that is not printable ASCII';
end;

procedure InitializeWizard;
begin
  SerialPage := CreateInputQueryPage(wpWelcome, 'Serial number',
    'Which serial number came with your copy?',
    Format('Type the serial number: 1 to %d characters.', [Length(Placeholder)]));
  SerialPage.Add('&Serial number:', False);
  SerialPage.Values[0] := ExpandConstant('{param:SERIAL}');
end;

// The wizard stays on the page until the serial can be stamped. A silent Setup, which "clicks"
// Next as well, goes on to PrepareToInstall, which checks the same value and ends Setup with
// exit code 7: under Wine, a silent Setup whose Next is refused never ends.
function NextButtonClick(CurPageID: Integer): Boolean;
var
  Problem: String;
begin
  Result := True;
  if (CurPageID = SerialPage.ID) and not WizardSilent then begin
    Problem := SerialProblem(SerialPage.Values[0]);
    if Problem <> '' then begin
      Log(Problem);
      MsgBox(Problem, mbError, MB_OK);
      Result := False;
    end;
  end;
end;

function PrepareToInstall(var NeedsRestart: Boolean): String;
var
  Serial, Ostra, Data: String;
  Status: Integer;
begin
  Serial := SerialPage.Values[0];
  Result := SerialProblem(Serial);
  if Result = '' then begin
    ExtractTemporaryFile('ostra.exe');
    ExtractTemporaryFile('product.dat');
    Ostra := ExpandConstant('{tmp}\ostra.exe');
    Data := ExpandConstant('{tmp}\product.dat');
    if not Exec(Ostra, '/burnfile "' + Data + '" /burnstring ' + Placeholder + ' /burnsn "' + Serial + '"',
                '', SW_HIDE, ewWaitUntilTerminated, Status) then
      Result := 'ostra.exe could not be started: ' + SysErrorMessage(Status)
    else begin
      Log(Format('ostra exit status: %d', [Status]));
      case Status of
        1: ; { stamped }
        0: Result := 'The serial was not stamped: placeholder absent, or product.dat held by another program';
      else
        Result := Format('ostra was given a bad command line (status %d)', [Status]);
      end;
    end;
  end;
end;
