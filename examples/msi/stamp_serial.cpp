// stamp_serial.cpp: the deferred Windows Installer custom action StampSerial, which stamps the
// serial into an installed file with the installed ostra.exe and fails the installation, so that
// Windows Installer rolls it back, unless ostra reports the stamp as written.
//
// A DLL rather than a batch file: cmd parses every command line it runs, so a serial given to a
// batch file can run as a command (`&`, `|`), lose its tail (spaces) or change (`%PATH%`, `^`).
// Here the serial travels in CustomActionData, which nothing parses, and reaches ostra.exe through
// CreateProcess, quoted by the Microsoft C run time's rules, which ostra splits its command line by.
//
// CustomActionData is "OSTRA.EXE|FILE|PLACEHOLDER|INSTALLED|SERIAL": the serial comes last and is
// taken whole, so it may hold any character, `|` included. INSTALLED, empty on a first
// installation, makes a placeholder already gone count as stamped: a repair leaves the stamped
// file in place. A file that still holds the placeholder is never counted as stamped.
//
// build.sh builds it with mingw-w64 for the package's architecture. Another compiler serves as well
// if it exports the entry point undecorated, as StampSerial (not _StampSerial@4), and links msi.
#include <windows.h>
#include <msi.h>
#include <msiquery.h>

#include <string>

namespace {

// The value of the property NAME, empty when it is unset or cannot be read.
std::wstring GetProperty(MSIHANDLE install, const wchar_t* name) {
  wchar_t none[1] = L"";
  DWORD size = 0;
  if (MsiGetPropertyW(install, name, none, &size) != ERROR_MORE_DATA) return std::wstring();
  std::wstring value(size, L'\0');
  ++size;  // room for the terminator
  if (MsiGetPropertyW(install, name, &value[0], &size) != ERROR_SUCCESS) return std::wstring();
  value.resize(size);
  return value;
}

// Shows TEXT as an error: a message box in a full user interface, a line of the log in any.
// Returns ERROR_INSTALL_FAILURE, the action's result.
UINT Fail(MSIHANDLE install, const std::wstring& text) {
  // Field 0 is a template that Windows Installer formats; the text goes in field 1, so that
  // brackets in it are shown as they are.
  MSIHANDLE record = MsiCreateRecord(1);
  MsiRecordSetStringW(record, 0, L"[1]");
  MsiRecordSetStringW(record, 1, (L"StampSerial: " + text).c_str());
  MsiProcessMessage(install, INSTALLMESSAGE(INSTALLMESSAGE_ERROR | MB_OK | MB_ICONERROR), record);
  MsiCloseHandle(record);
  return ERROR_INSTALL_FAILURE;
}

// The length of TEXT in bytes of the ANSI code page, which ostra works in, or -1 when that code
// page cannot hold TEXT exactly (ostra would then stamp '?' or a look-alike instead).
int AnsiLength(const std::wstring& text) {
  if (text.empty()) return 0;
  const UINT codePage = GetACP();
  const bool utf8 = codePage == CP_UTF8;  // takes neither the flag nor the default-character test
  BOOL lossy = FALSE;
  const int bytes = WideCharToMultiByte(codePage, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, text.data(),
                                        static_cast<int>(text.size()), nullptr, 0, nullptr,
                                        utf8 ? nullptr : &lossy);
  return bytes > 0 && !lossy ? bytes : -1;
}

// Appends ARGUMENT to COMMAND as one argument that the Microsoft C run time's rules split back
// whole: in quotes, each quote escaped, and the backslashes before a quote or the closing quote
// doubled.
void AppendArgument(std::wstring& command, const std::wstring& argument) {
  command += L" \"";
  size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'"') command.append(backslashes + 1, L'\\');
    backslashes = c == L'\\' ? backslashes + 1 : 0;
    command += c;
  }
  command.append(backslashes, L'\\');
  command += L'"';
}

// Whether FILE still holds PLACEHOLDER, in the ANSI code page's bytes as ostra looks for it. A file
// that cannot be read counts as holding it: nothing then shows that it was stamped.
bool StillHoldsPlaceholder(const std::wstring& file, const std::wstring& placeholder) {
  std::string marker(AnsiLength(placeholder), '\0');
  WideCharToMultiByte(GetACP(), 0, placeholder.data(), static_cast<int>(placeholder.size()),
                      &marker[0], static_cast<int>(marker.size()), nullptr, nullptr);
  HANDLE handle = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return true;
  std::string data;
  char block[65536];
  DWORD got = 0;
  BOOL read = FALSE;
  while ((read = ReadFile(handle, block, sizeof block, &got, nullptr)) && got > 0)
    data.append(block, got);
  CloseHandle(handle);
  return !read || data.find(marker) != std::string::npos;
}

}  // namespace

extern "C" __declspec(dllexport) UINT __stdcall StampSerial(MSIHANDLE install) {
  const std::wstring data = GetProperty(install, L"CustomActionData");
  std::wstring field[5];  // ostra.exe, the file, the placeholder, installed before, the serial
  size_t start = 0;
  for (int i = 0; i < 4; ++i) {
    const size_t bar = data.find(L'|', start);
    if (bar == std::wstring::npos)
      return Fail(install, L"CustomActionData is not OSTRA.EXE|FILE|PLACEHOLDER|INSTALLED|SERIAL.");
    field[i] = data.substr(start, bar - start);
    start = bar + 1;
  }
  field[4] = data.substr(start);
  const std::wstring &ostra = field[0], &file = field[1], &placeholder = field[2], &serial = field[4];
  const bool installedBefore = !field[3].empty();

  // ostra cuts a value longer than the placeholder, and an empty one would blank it out.
  const int serialLength = AnsiLength(serial);
  if (serial.empty()) return Fail(install, L"No serial was given (SERIAL=...).");
  if (serialLength < 0)
    return Fail(install, L"The serial holds characters that the ANSI code page lacks.");
  if (serialLength > AnsiLength(placeholder))
    return Fail(install, L"The serial is longer than the placeholder " + placeholder + L".");
  // The package remembers the serial as a registry value, which Windows Installer would write as a
  // number, or not at all, were its text to begin with #.
  if (serial[0] == L'#') return Fail(install, L"The serial begins with #.");

  std::wstring command = L"\"" + ostra + L"\" /burnfile";
  AppendArgument(command, file);
  command += L" /burnstring";
  AppendArgument(command, placeholder);
  command += L" /burnsn";
  AppendArgument(command, serial);

  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(ostra.c_str(), &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                      nullptr, nullptr, &startup, &process))
    return Fail(install, ostra + L" could not be started (error " +
                             std::to_wstring(GetLastError()) + L").");
  CloseHandle(process.hThread);
  DWORD status = 0;
  const bool waited = WaitForSingleObject(process.hProcess, INFINITE) == WAIT_OBJECT_0 &&
                      GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hProcess);
  if (!waited) return Fail(install, L"ostra.exe could not be waited for.");
  switch (static_cast<int>(status)) {
    case 1:
      return ERROR_SUCCESS;
    case 0:
      // A repair finds the file stamped already, unless it put the placeholder back and another
      // program holds the file: only a file read without the placeholder counts as stamped.
      if (installedBefore && !StillHoldsPlaceholder(file, placeholder)) return ERROR_SUCCESS;
      return Fail(install, file + L" was not stamped: placeholder absent, or the file missing or "
                                  L"held by another program.");
    default:
      return Fail(install, L"ostra.exe was given a bad command line (status " +
                               std::to_wstring(static_cast<int>(status)) + L").");
  }
}
