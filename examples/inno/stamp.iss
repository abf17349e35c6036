; Inno Setup: stamps the serial into the installed product.dat once the files are in place, and
; reports a serial not stamped as an error. Not tested here: no Inno Setup compiler runs in the
; test command. Serial holds the serial the user entered (a serial holds no spaces).

[Code]
var
  Serial: String;

procedure CurStepChanged(CurStep: TSetupStep);
var
  ResultCode: Integer;
begin
  if CurStep <> ssPostInstall then
    Exit;
  if not Exec(ExpandConstant('{app}\ostra.exe'),
              '/burnfile "' + ExpandConstant('{app}\product.dat') + '" /burnstring @@SERIAL@@ /burnsn ' + Serial,
              '', SW_HIDE, ewWaitUntilTerminated, ResultCode) then
    RaiseException('ostra.exe could not be started');
  case ResultCode of
    1: ; { stamped }
    0: RaiseException('The serial was not stamped: placeholder absent, serial too long, or product.dat missing or held');
  else
    RaiseException('ostra: bad command line (status ' + IntToStr(ResultCode) + ')');
  end;
end;
