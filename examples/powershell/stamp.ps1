# stamp.ps1 FILE SERIAL: stamps SERIAL over the placeholder @@SERIAL-PLACEHOLDER@@ in FILE with the
# ostra.exe beside this script; throws unless stamped, and leaves FILE as it was when it refuses
# the serial. From an installer:
#   powershell -NonInteractive -NoProfile -ExecutionPolicy Bypass -File stamp.ps1 product.dat SN-2026-0042
# exits with 0 when stamped and 1 otherwise. -NonInteractive makes a missing parameter an error:
# without it, PowerShell prompts for it on standard input, and an unattended installation waits
# for ever. -NoProfile keeps the user's profile script out of the installation.
# Not tested here: PowerShell for Windows does not run under Wine.
param([Parameter(Mandatory)] [string] $File, [Parameter(Mandatory)] [string] $Serial)
$ErrorActionPreference = 'Stop'
$Placeholder = '@@SERIAL-PLACEHOLDER@@'
# The placeholder is as long as the longest serial the product accepts: ostra would cut a longer
# one. ostra.exe reads its command line in the ANSI code page by the C run time's rules: printable
# ASCII passes any code page unchanged, and Windows PowerShell passes a double quote, or a
# backslash before the quotes it adds, without the escapes those rules need. \A and \z anchor the
# whole value: $ would also match before a final line feed.
if ($Serial.Length -gt $Placeholder.Length -or $Serial -cnotmatch '\A[\x20-\x7E]+\z' -or
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
