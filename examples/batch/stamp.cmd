@echo off
rem stamp.cmd FILE: stamps the serial in the environment variable SERIAL over the placeholder
rem @@SERIAL-PLACEHOLDER@@ (22 bytes) in FILE with the ostra.exe beside this script. Exits with 0
rem when stamped and 1 otherwise. From a batch file, call it, so that the lines after it run:
rem
rem   set "SERIAL=SN 2026 42"
rem   call stamp.cmd "C:\Program Files\Product\product.dat"
rem   if errorlevel 1 goto failed
rem   set "SERIAL="
rem
rem A batch file run without call does not return to its caller. The serial travels in the
rem environment because cmd's call parses an argument twice: it doubles each ^ inside quotes and
rem expands %NAME% again. Inside the quotes of set "SERIAL=...", & | < > ^ and spaces are plain
rem characters; write %% for a %, and a serial cannot hold a double quote.
setlocal DisableDelayedExpansion
rem The file is copied while delayed expansion is off, so that a ! in its path stays; the values
rem are used only as !name!, which cmd expands after it has parsed the line, so nothing in them
rem (& | < > ^ !) is parsed. The %...% expansions below take the serial without double quotes,
rem which it is refused for further on, so that each stays inside its quotes.
set "file=%~1"
set "extra=%~2"
set "here=%~dp0"
if defined SERIAL set "unquoted=%SERIAL:"=%"
if defined SERIAL set "first22=%unquoted:~0,22%"
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
if not defined SERIAL (>&2 echo stamp.cmd: no serial given: set "SERIAL=..." first& exit /b 1)
if not "!unquoted!"=="!SERIAL!" (>&2 echo stamp.cmd: a serial cannot hold a double quote& exit /b 1)
rem ostra would cut a longer serial to the placeholder's length.
if not "!first22!"=="!SERIAL!" (>&2 echo stamp.cmd: the serial is longer than the placeholder, 22 bytes& exit /b 1)
"!here!ostra.exe" /burnfile "!file!" /burnstring @@SERIAL-PLACEHOLDER@@ /burnsn "!SERIAL!!backslashes!"
set "status=!errorlevel!"
if "!status!"=="1" exit /b 0
if "!status!"=="0" (
  >&2 echo stamp.cmd: !file! not stamped: placeholder absent, or the file missing or held
) else (
  >&2 echo stamp.cmd: ostra.exe gave status !status!: a bad command line, -1, or not found, 9009
)
exit /b 1
:usage
>&2 echo usage: set "SERIAL=..." then call stamp.cmd FILE
exit /b 1
