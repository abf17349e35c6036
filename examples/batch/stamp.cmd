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
rem The names are copied while delayed expansion is off, so that a ! in them stays; the values
rem are used only as !name!, which cmd expands after it has parsed the line, so nothing in them
rem (& | < > ^ !) is parsed. The %...% expansions below take the serial without double quotes,
rem which it is refused for further on, so that each stays inside its quotes.
set "file=%~f1"
set "extra=%~2"
set "here=%~dp0"
if defined SERIAL set "unquoted=%SERIAL:"=%"
if defined SERIAL set "first22=%unquoted:~0,22%"
rem What a serial may hold: printable ASCII, one byte each in every code page and changed by none.
rem The double quote is refused further on; each character is checked while delayed expansion is
rem off, by the %...% expansions alone, the ones cmd knows since it knows delayed expansion.
set "checked="
if defined SERIAL call :check_characters
setlocal EnableDelayedExpansion
if not defined file goto usage
if defined extra goto usage
if not defined SERIAL (>&2 echo stamp.cmd: no serial given: set "SERIAL=..." first& exit /b 1)
if not "!unquoted!"=="!SERIAL!" (>&2 echo stamp.cmd: a serial cannot hold a double quote& exit /b 1)
rem ostra would cut a longer serial to the placeholder's length.
if not "!first22!"=="!SERIAL!" (>&2 echo stamp.cmd: the serial is longer than the placeholder, 22 bytes& exit /b 1)
rem Any other character would reach ostra as another one, or as two bytes of a double-byte code page.
if not "!checked!"=="!SERIAL!" (>&2 echo stamp.cmd: the serial holds a character that is not printable ASCII, or a control character& exit /b 1)
rem The serial reaches ostra in an argument file in the user's own %TEMP%, never on a command line,
rem where other users can see it; ostra reads that file from its own folder, so the file is named
rem relative to it, which no code page can spell wrong. Its name is digits and ASCII: %...% is safe.
if not exist "!TEMP!\" (>&2 echo stamp.cmd: the folder TEMP names does not exist& exit /b 1)
pushd "!TEMP!"
:pick_name
set "arguments=ostra-%RANDOM%-%RANDOM%.rsp"
if exist "%arguments%" goto pick_name
>"%arguments%" echo -burnstring @@SERIAL-PLACEHOLDER@@ -burnsn "!SERIAL!"
"!here!ostra.exe" /burnfile "!file!" "@%arguments%"
set "status=!errorlevel!"
del "%arguments%"
popd
if "!status!"=="1" exit /b 0
if "!status!"=="0" (
  >&2 echo stamp.cmd: !file! not stamped: placeholder absent, or the file missing or held
) else (
  >&2 echo stamp.cmd: ostra.exe gave status !status!: a bad command line, -1, or not found, 9009
)
exit /b 1
rem Sets checked to the longest start of first22 (the serial without double quotes, cut to 22)
rem that is printable ASCII: the serial is whole only if checked is the serial. A line feed ends
rem the line it is expanded into, so it stops the check there.
:check_characters
set "tail=%first22%"
:check_character
set "c="
if defined tail set "c=%tail:~0,1%"
if not defined c goto :eof
set "tail=%tail:~1%"
rem First the ones that %name:old=new% cannot look for, or that call changes.
if "%c%"=="=" goto printable
if "%c%"=="*" goto printable
if "%c%"=="~" goto printable
if "%c%"=="%%" goto printable
if "%c%"=="^" goto printable
if "%c%"=="!" goto printable
for %%s in (A B C D E F G H I J K L M N O P Q R S T U V W X Y Z) do if "%c%"=="%%s" goto printable
for %%s in (a b c d e f g h i j k l m n o p q r s t u v w x y z) do if "%c%"=="%%s" goto printable
for %%s in (0 1 2 3 4 5 6 7 8 9) do if "%c%"=="%%s" goto printable
set "punctuation= #$&'()+,-./:;<>?@[\]_`{|}"
call set "rest=%%punctuation:%c%=%%"
if "%rest%"=="%punctuation%" goto :eof
:printable
set "checked=%checked%%c%"
goto check_character

:usage
>&2 echo usage: set "SERIAL=..." then call stamp.cmd FILE
exit /b 1
