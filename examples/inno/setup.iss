; A complete Inno Setup script: installs product.dat with a serial stamped into it. A wizard page
; asks for the serial, filled in from /SERIAL= on Setup's command line, else from the environment
; variable SERIAL, else from the installation it upgrades, and checks it on Next; a silent Setup
; takes the serial from the same page, checked by the same rules. The serial is stamped into a
; copy extracted to {tmp} before anything is installed, and [Files] installs that copy: a serial
; refused or not stamped ends a silent Setup with exit code 7, nothing installed and an earlier
; installation as it was. Stamping after the files are in place cannot stop Setup: an error raised
; in CurStepChanged, AfterInstall or [Run] leaves the installation and its uninstaller.
;
; Build:   ISCC.exe /DOstraExe=path\to\ostra.exe setup.iss   (product.dat beside this script;
;          add /DWin64 around the 64-bit ostra.exe)
; Install: setup.exe, and type the serial; or setup.exe /VERYSILENT /SUPPRESSMSGBOXES /SERIAL=SN-2026-0042
; /LOG=setup.log writes a log that holds ostra's exit status, or why Setup stopped, and Setup's
; command line: with /SERIAL= on it, the serial too. Typed into the page, taken from SERIAL in the
; environment or from the earlier installation, it stays out of the log.

#ifndef OstraExe
  #define OstraExe "ostra.exe"
#endif
#ifndef DataFile
  #define DataFile "product.dat"
#endif
#ifndef AppId
  #define AppId "Ostra Example Product"
#endif

[Setup]
AppId={#AppId}
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
// longest serial the product accepts: ostra would cut a longer one. ostra.exe reads its argument
// file in the ANSI code page, so a serial is printable ASCII, which no code page changes, without
// a double quote, for which the argument file has no escape.
function SerialProblem(const Serial: String): String;
var
  I: Integer;
begin
  Result := '';
  if Serial = '' then
    Result := 'No serial given: type it, or run Setup with /SERIAL=value'
  else if Length(Serial) > Length(Placeholder) then
    Result := Format('The serial is longer than %d characters', [Length(Placeholder)])
  else
    for I := 1 to Length(Serial) do
      if (Ord(Serial[I]) < 32) or (Ord(Serial[I]) > 126) or (Serial[I] = '"') then
        Result := 'The serial holds a double quote or a character that is not printable ASCII';
end;

// The value of /SERIAL= on Setup's command line, an empty one included; else the value of SERIAL
// in the environment, which stays out of the log; else the serial of the installation this one
// upgrades or repairs, if any.
function GivenSerial: String;
var
  I: Integer;
begin
  for I := 1 to ParamCount do
    if CompareText(Copy(ParamStr(I), 1, 8), '/SERIAL=') = 0 then begin
      Result := Copy(ParamStr(I), 9, Length(ParamStr(I)));
      Exit;
    end;
  Result := GetEnv('SERIAL');
  if Result = '' then
    Result := GetPreviousData('Serial', '');
end;

procedure InitializeWizard;
begin
  SerialPage := CreateInputQueryPage(wpWelcome, 'Serial number',
    'Which serial number came with your copy?',
    Format('Type the serial number: 1 to %d characters.', [Length(Placeholder)]));
  SerialPage.Add('&Serial number:', False);
  SerialPage.Values[0] := GivenSerial;
end;

// Kept with the installation (in its uninstall key), for the next Setup that upgrades it.
procedure RegisterPreviousData(PreviousDataKey: Integer);
begin
  SetPreviousData(PreviousDataKey, 'Serial', SerialPage.Values[0]);
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

// Stamps the serial into the copy in {tmp}. The serial reaches ostra in an argument file in
// {tmp}, Setup's own folder in the user's %TEMP%, never on a command line; the file holds
// printable ASCII alone, the same bytes in every code page. Each name ostra is given is relative
// to {tmp}, its working folder: a %TEMP% the code page cannot spell would reach it as another name.
function PrepareToInstall(var NeedsRestart: Boolean): String;
var
  Serial, Arguments: String;
  Started: Boolean;
  Status: Integer;
begin
  Serial := SerialPage.Values[0];
  Result := SerialProblem(Serial);
  if Result = '' then begin
    ExtractTemporaryFile('ostra.exe');
    ExtractTemporaryFile('product.dat');
    Arguments := ExpandConstant('{tmp}\stamp.rsp');
    if not SaveStringToFile(Arguments, '-burnfile product.dat' + #13#10 + '-burnstring ' +
                            Placeholder + #13#10 + '-burnsn "' + Serial + '"' + #13#10, False) then begin
      Result := 'The argument file for ostra could not be written';
      Exit;
    end;
    Started := Exec(ExpandConstant('{tmp}\ostra.exe'), '@stamp.rsp', ExpandConstant('{tmp}'),
                    SW_HIDE, ewWaitUntilTerminated, Status);
    DeleteFile(Arguments);
    if not Started then
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
