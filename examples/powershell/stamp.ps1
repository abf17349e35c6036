# stamp.ps1 FILE SERIAL: stamps SERIAL over the placeholder @@SERIAL-PLACEHOLDER@@ in FILE with the
# ostra.exe beside this script; throws unless stamped, and leaves FILE as it was when it refuses
# the serial. Not tested here: PowerShell for Windows does not run under Wine.
param([Parameter(Mandatory)] [string] $File, [Parameter(Mandatory)] [string] $Serial)
$ErrorActionPreference = 'Stop'
$Placeholder = '@@SERIAL-PLACEHOLDER@@'
# The placeholder is as long as the longest serial the product accepts: ostra would cut a longer
# one. ostra.exe reads its command line in the ANSI code page by the C run time's rules: printable
# ASCII passes any code page unchanged, and Windows PowerShell passes a double quote, or a
# backslash before the quotes it adds, without the escapes those rules need.
if ($Serial.Length -gt $Placeholder.Length -or $Serial -cnotmatch '^[\x20-\x7E]+$' -or
    $Serial.Contains('"') -or $Serial.EndsWith('\')) {
  throw "The serial must be 1 to $($Placeholder.Length) printable ASCII characters, without a double quote or a trailing backslash"
}
# PowerShell's current location is not the process's current directory: give ostra a full path.
$Path = Convert-Path -LiteralPath $File
& "$PSScriptRoot\ostra.exe" /burnfile $Path /burnstring $Placeholder /burnsn $Serial
switch ($LASTEXITCODE) {
  1 { 'stamped' }
  0 { throw "$Path not stamped: placeholder absent, or file held by another program" }
  default { throw "ostra: bad command line (status $LASTEXITCODE)" }
}
