@echo off
rem stamp.cmd FILE SERIAL: stamps SERIAL over the placeholder @@SERIAL-PLACEHOLDER@@ (22 bytes) in
rem FILE with the ostra.exe beside this script. Exits with 0 when stamped and 1 otherwise.
rem Quote both: stamp.cmd "C:\Program Files\Product\product.dat" "SN 2026 42". cmd itself expands
rem %NAME% in the calling line (write %% for % in a batch file) and ends a quoted value at a double
rem quote, so a serial cannot hold one.
setlocal DisableDelayedExpansion
rem Copied in quotes while delayed expansion is off, and used only as !name! afterwards, which cmd
rem expands after it has parsed the line: no character of the values (& | < > ^ !) is parsed.
set "file=%~1"
set "serial=%~2"
set "extra=%~3"
set "here=%~dp0"
rem The %...% expansions below take the serial without double quotes, which it is refused for
rem further on, so that each stays inside its quotes.
set "unquoted=%serial:"=%"
set "first22=%unquoted:~0,22%"
rem ostra splits its command line by the C run time's rules, which take a backslash before the
rem closing quote as an escaped quote: as many backslashes as end the serial are added to it.
set "tail=%unquoted%"
set "backslashes="
:count_backslashes
if "%tail:~-1%"=="\" (
  set "tail=%tail:~0,-1%"
  set "backslashes=%backslashes%\"
  goto count_backslashes
)
setlocal EnableDelayedExpansion
if not defined file goto usage
if defined extra goto usage
if not defined serial (>&2 echo stamp.cmd: no serial given& exit /b 1)
if not "!unquoted!"=="!serial!" (>&2 echo stamp.cmd: a serial cannot hold a double quote& exit /b 1)
rem ostra would cut a longer serial to the placeholder's length.
if not "!first22!"=="!serial!" (>&2 echo stamp.cmd: the serial is longer than the placeholder, 22 bytes& exit /b 1)
"!here!ostra.exe" /burnfile "!file!" /burnstring @@SERIAL-PLACEHOLDER@@ /burnsn "!serial!!backslashes!"
set "status=!errorlevel!"
if "!status!"=="1" exit /b 0
if "!status!"=="0" (
  >&2 echo stamp.cmd: !file! not stamped: placeholder absent, or the file missing or held
) else (
  >&2 echo stamp.cmd: ostra.exe gave status !status!: a bad command line, -1, or not found, 9009
)
exit /b 1
:usage
>&2 echo usage: stamp.cmd FILE SERIAL
exit /b 1
