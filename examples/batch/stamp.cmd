@echo off
rem stamp.cmd FILE SERIAL: stamps SERIAL over the placeholder @@SERIAL@@ in FILE with the ostra.exe
rem beside this script. Exits with 0 when stamped and 1 otherwise, as an MSI custom action expects.
"%~dp0ostra.exe" /burnfile %1 /burnstring @@SERIAL@@ /burnsn %2
rem "if errorlevel N" holds for N or higher: 1 is the highest status ostra gives.
if errorlevel 2 goto bad_command_line
if errorlevel 1 exit /b 0
if errorlevel 0 goto not_stamped
:bad_command_line
echo ostra: bad command line (status %errorlevel%) 1>&2
exit /b 1
:not_stamped
echo ostra: %~1 not stamped: placeholder absent, serial too long, or file missing or held 1>&2
exit /b 1
