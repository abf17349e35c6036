# stamp.ps1 FILE SERIAL: stamps SERIAL over the placeholder @@SERIAL@@ in FILE with the ostra.exe
# beside this script; throws unless stamped. Not tested here: PowerShell for Windows does not run
# under Wine.
param([Parameter(Mandatory)] [string] $File, [Parameter(Mandatory)] [string] $Serial)
& "$PSScriptRoot\ostra.exe" /burnfile $File /burnstring '@@SERIAL@@' /burnsn $Serial
switch ($LASTEXITCODE) {
  1 { 'stamped' }
  0 { throw "$File not stamped: placeholder absent, serial too long, or file missing or held" }
  default { throw "ostra: bad command line (status $LASTEXITCODE)" }
}
