# stamp.ps1 FILE SERIAL: stamps SERIAL over the placeholder @@SERIAL-PLACEHOLDER@@ in FILE with the
# ostra.exe beside this script; throws unless stamped, and leaves FILE as it was when it refuses
# the serial. From an installer:
#   powershell -NonInteractive -NoProfile -ExecutionPolicy Bypass -File stamp.ps1 product.dat SN-2026-0042
# exits with 0 when stamped and 1 otherwise. -NonInteractive makes a missing parameter an error:
# without it, PowerShell prompts for it on standard input, and an unattended installation waits
# for ever. -NoProfile keeps the user's profile script out of the installation. The serial is on
# PowerShell's own command line there; a script that has it in a variable calls
#   & .\stamp.ps1 -File product.dat -Serial $Serial
# and it reaches ostra in an argument file that only the user can read, deleted after the run.
# Not tested here: PowerShell for Windows does not run under Wine.
param([Parameter(Mandatory)] [string] $File, [Parameter(Mandatory)] [string] $Serial)
$ErrorActionPreference = 'Stop'
# With this on (PowerShell 7.4 can have it so), a native program's status other than 0 throws: the
# status 1 that means stamped would throw after the stamp was made.
$PSNativeCommandUseErrorActionPreference = $false
$Placeholder = '@@SERIAL-PLACEHOLDER@@'
# The placeholder is as long as the longest serial the product accepts: ostra would cut a longer
# one. ostra.exe reads its argument file in the ANSI code page, in which printable ASCII alone is
# the same in every code page; the file has no escape for a double quote. \A and \z anchor the
# whole value: $ would also match before a final line feed.
if ($Serial.Length -gt $Placeholder.Length -or $Serial -cnotmatch '\A[\x20-\x7E]+\z' -or
    $Serial.Contains('"')) {
  throw "The serial must be 1 to $($Placeholder.Length) printable ASCII characters, without a double quote"
}
# PowerShell's current location is not the process's current directory: give ostra a full path,
# in its short form where the code page may not spell the long one.
$Path = Convert-Path -LiteralPath $File
if ($Path -cnotmatch '\A[\x20-\x7E]+\z') {
  $Path = (New-Object -ComObject Scripting.FileSystemObject).GetFile($Path).ShortPath
  if ($Path -cnotmatch '\A[\x20-\x7E]+\z') {
    throw "$File has no name the ANSI code page can spell: give its short name, or move it"
  }
}
# The argument file is made in the user's own %TEMP%, in UTF-16, and named relative to ostra's
# working folder, which no code page can spell wrong.
$Arguments = [IO.Path]::GetTempFileName()
$Saved = [Environment]::CurrentDirectory
try {
  [IO.File]::WriteAllText($Arguments,
    "-burnfile `"$Path`"`r`n-burnstring $Placeholder`r`n-burnsn `"$Serial`"`r`n", [Text.Encoding]::Unicode)
  [Environment]::CurrentDirectory = Split-Path -Parent $Arguments
  & "$PSScriptRoot\ostra.exe" "@$(Split-Path -Leaf $Arguments)"
  $Status = $LASTEXITCODE
} finally {
  [Environment]::CurrentDirectory = $Saved
  Remove-Item -LiteralPath $Arguments -Force
}
switch ($Status) {
  1 { 'stamped' }
  0 { throw "$Path not stamped: placeholder absent, or file held by another program" }
  default { throw "ostra: bad command line (status $Status)" }
}
