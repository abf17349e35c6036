// stamp_serial.cpp: the Windows Installer custom actions of the MSI recipe.
//
// RecallSerial (immediate, after AppSearch, before anything is changed) decides which serial the
// installation uses, and refuses one it could not stamp exactly: SERIAL as given on the command
// line, else the serial an earlier installation remembered, which AppSearch reads into
// REMEMBERED_SERIAL.
// It also sets SERIAL_STORED, the serial as the Registry table must be given it to keep it as text.
//
// StampSerial (deferred, as LocalSystem) stamps the serial into the installed data file and fails
// the installation, so that Windows Installer rolls it back, unless ostra reports the stamp as
// written. ostra.exe travels inside this DLL, which Windows Installer takes from the package's
// Binary table into a folder users cannot write; the action writes it, and an argument file that
// carries the serial, into a folder of its own that only SYSTEM and Administrators can open, runs
// it, and deletes both. So no user can replace the program that runs as LocalSystem, and the serial
// is on no command line. The argument file is UTF-16LE, so no code page changes what it carries.
//
// CustomActionData is "FILE|PLACEHOLDER|INSTALLED|SERIAL": the serial comes last and is taken
// whole, so it may hold `|`. INSTALLED, empty on a first installation, makes a placeholder already
// gone count as stamped: a repair leaves the stamped file in place. A file that still holds the
// placeholder is never counted as stamped.
//
// build.sh builds it with mingw-w64 for the package's architecture, with ostra.exe as its resource
// OSTRA. Another compiler serves as well if it exports the entry points undecorated (RecallSerial,
// not _RecallSerial@4) and links msi and advapi32.
#include <windows.h>
#include <msi.h>
#include <msiquery.h>
#include <sddl.h>

#include <string>
#include <utility>
#include <vector>

namespace {

// A kernel handle, closed when the holder goes.
class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  Handle(Handle&& other) noexcept : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
  Handle& operator=(Handle&&) = delete;
  ~Handle() {
    if (valid()) CloseHandle(handle_);
  }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

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
  PMSIHANDLE record = MsiCreateRecord(1);
  MsiRecordSetStringW(record, 0, L"[1]");
  MsiRecordSetStringW(record, 1, (L"Ostra Example Product: " + text).c_str());
  MsiProcessMessage(install, INSTALLMESSAGE(INSTALLMESSAGE_ERROR | MB_OK | MB_ICONERROR), record);
  return ERROR_INSTALL_FAILURE;
}

// Why SERIAL cannot be stamped exactly over a placeholder of PLACEHOLDER_LENGTH bytes, empty when
// it can. The serial is one token of ostra's argument file, which has no escape for `"`; ostra
// reads the file in the ANSI code page, which may lack any character beyond printable ASCII, or
// spell it in two bytes; an empty serial would blank the placeholder and a longer one be cut.
std::wstring SerialProblem(const std::wstring& serial, size_t placeholderLength) {
  if (serial.empty()) return L"no serial was given: msiexec /i product.msi SERIAL=...";
  if (serial.size() > placeholderLength)
    return L"the serial is longer than the placeholder, " + std::to_wstring(placeholderLength) +
           L" characters.";
  for (wchar_t c : serial) {
    if (c < 0x20 || c > 0x7E)
      return L"the serial may hold only printable ASCII characters: the code page that ostra "
             L"reads it in could change any other.";
    if (c == L'"')
      return L"the serial cannot hold a double quote (\"): the argument file that carries it to "
             L"ostra has no escape for one.";
  }
  return std::wstring();
}

// Whether the ANSI code page, which ostra reads its argument file in, spells TEXT exactly, where it
// would put a look-alike or '?' in place of a character it lacks.
bool AnsiSpells(const std::wstring& text) {
  const UINT codePage = GetACP();
  const int length = static_cast<int>(text.size());
  std::string bytes(
      WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr), '\0');
  if (bytes.empty()) return text.empty();
  WideCharToMultiByte(codePage, 0, text.data(), length, &bytes[0], static_cast<int>(bytes.size()),
                      nullptr, nullptr);
  // Converting back shows every substitution, a best fit included, in any code page, UTF-8 too.
  std::wstring back(MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()),
                                        nullptr, 0), L'\0');
  if (!back.empty())
    MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), &back[0],
                        static_cast<int>(back.size()));
  return back == text;
}

// PATH as ostra can open it from its ANSI code page: the path itself, or its short (8.3) form
// where the code page cannot spell a folder's name. Empty when neither can be spelt.
std::wstring AnsiSpellablePath(const std::wstring& path) {
  if (AnsiSpells(path)) return path;
  std::wstring shortPath(MAX_PATH, L'\0');
  DWORD length = GetShortPathNameW(path.c_str(), &shortPath[0], MAX_PATH);
  if (length >= MAX_PATH) {
    shortPath.resize(length);
    length = GetShortPathNameW(path.c_str(), &shortPath[0], length);
  }
  shortPath.resize(length < shortPath.size() ? length : 0);
  return !shortPath.empty() && AnsiSpells(shortPath) ? shortPath : std::wstring();
}

// A folder that this action makes and that only SYSTEM and Administrators can open, removed with
// the files put in it when the holder goes.
class PrivateFolder {
 public:
  PrivateFolder() = default;
  PrivateFolder(const PrivateFolder&) = delete;
  PrivateFolder& operator=(const PrivateFolder&) = delete;
  ~PrivateFolder() {
    for (const std::wstring& file : files_) Retry([&] { return DeleteFileW(file.c_str()); });
    if (!path_.empty()) Retry([&] { return RemoveDirectoryW(path_.c_str()); });
  }

  // Makes the folder in the temporary folder, under a name no other process holds. Returns false
  // when it cannot.
  bool Create() {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    // Protected: nothing is inherited from the temporary folder, where users may create files.
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(
            L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)", SDDL_REVISION_1, &descriptor, nullptr))
      return false;
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, descriptor, FALSE};
    wchar_t temp[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    // A name taken already may be another's trap: a new folder, never an existing one, is used.
    for (unsigned attempt = 0; length > 0 && length <= MAX_PATH && attempt < 100; ++attempt) {
      std::wstring path = std::wstring(temp, length) + L"ostra-" +
                          std::to_wstring(GetCurrentProcessId()) + L"-" +
                          std::to_wstring(GetTickCount64() + attempt);
      if (CreateDirectoryW(path.c_str(), &attributes)) {
        path_ = std::move(path);
        break;
      }
      if (GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    LocalFree(descriptor);
    return !path_.empty();
  }

  // Writes a new file NAME of SIZE bytes from DATA into the folder. Returns its path, or an empty
  // string when it could not be written whole.
  std::wstring Write(const wchar_t* name, const void* data, DWORD size) {
    std::wstring file = path_ + L"\\" + name;
    Handle handle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle.valid()) return std::wstring();
    files_.push_back(file);
    DWORD written = 0;
    if (!WriteFile(handle.get(), data, size, &written, nullptr) || written != size)
      return std::wstring();
    return file;
  }

  const std::wstring& path() const { return path_; }

 private:
  // Runs REMOVE until it succeeds, for up to five seconds while the file is in use: a process that
  // has ended can still hold its program and its current folder for a moment (measured under Wine).
  template <typename Remove>
  static void Retry(Remove remove) {
    for (int attempt = 0; !remove() && attempt < 50; ++attempt) {
      const DWORD error = GetLastError();
      if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) return;
      Sleep(100);
    }
  }

  std::wstring path_;
  std::vector<std::wstring> files_;
};

// The bytes of ostra.exe, this DLL's resource OSTRA; SIZE becomes their count. Null when absent.
const void* OstraProgram(DWORD* size) {
  HMODULE self = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                              GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCWSTR>(&OstraProgram), &self))
    return nullptr;
  HRSRC resource = FindResourceW(self, L"OSTRA", MAKEINTRESOURCEW(10));  // RT_RCDATA
  HGLOBAL loaded = resource ? LoadResource(self, resource) : nullptr;
  *size = resource ? SizeofResource(self, resource) : 0;
  return loaded ? LockResource(loaded) : nullptr;
}

// Whether FILE is stamped already: no other program holds it, and it reads without PLACEHOLDER,
// which is ASCII and so the same bytes in every ANSI code page. A file that another program holds
// may be one that Windows Installer could not replace and will replace when Windows restarts, with
// the unstamped file: it does not count as stamped, nor does one that cannot be read.
bool IsStampedAlready(const std::wstring& file, const std::wstring& placeholder) {
  const std::string marker(placeholder.begin(), placeholder.end());
  Handle handle(CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle.valid()) return false;
  std::string data;
  char block[65536];
  DWORD got = 0;
  BOOL read = FALSE;
  while ((read = ReadFile(handle.get(), block, sizeof block, &got, nullptr)) && got > 0)
    data.append(block, got);
  return read && data.find(marker) == std::string::npos;
}

// Runs PROGRAM with ARGUMENTS in FOLDER and waits for it. Returns false when it could not be
// started or waited for; else STATUS is its exit status.
bool Run(const std::wstring& program, const std::wstring& arguments, const std::wstring& folder,
         int* status) {
  std::wstring command = L"\"" + program + L"\" " + arguments;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(program.c_str(), &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                      nullptr, folder.c_str(), &startup, &process))
    return false;
  Handle thread(process.hThread), child(process.hProcess);
  DWORD code = 0;
  if (WaitForSingleObject(child.get(), INFINITE) != WAIT_OBJECT_0 ||
      !GetExitCodeProcess(child.get(), &code))
    return false;
  *status = static_cast<int>(code);
  return true;
}

}  // namespace

extern "C" __declspec(dllexport) UINT __stdcall RecallSerial(MSIHANDLE install) {
  std::wstring serial = GetProperty(install, L"SERIAL");
  std::wstring remembered = GetProperty(install, L"REMEMBERED_SERIAL");
  // AppSearch doubles the # that begins a text value, telling it from a number (#42).
  if (remembered.compare(0, 2, L"##") == 0) remembered.erase(0, 1);
  const bool given = !serial.empty();
  if (!given) {
    serial = remembered;
    MsiSetPropertyW(install, L"SERIAL", serial.c_str());
  }
  // The Registry table reads a value that begins with # as a number; ## keeps it text.
  const std::wstring stored = (serial.compare(0, 1, L"#") == 0 ? L"#" : L"") + serial;
  MsiSetPropertyW(install, L"SERIAL_STORED", stored.c_str());
  // Removal needs no serial. Everything else stamps, or keeps a stamp, and is refused now, before
  // anything is changed, when it could not.
  if (GetProperty(install, L"REMOVE") == L"ALL") return ERROR_SUCCESS;
  // A repair keeps the stamped data file that it finds in place: it cannot change the serial.
  if (given && !remembered.empty() && serial != remembered &&
      !GetProperty(install, L"Installed").empty())
    return Fail(install, L"the product is installed with another serial, which a repair keeps; "
                         L"to change it, remove the product and install it with the new one.");
  const std::wstring problem =
      SerialProblem(serial, GetProperty(install, L"SERIAL_PLACEHOLDER").size());
  if (!problem.empty()) return Fail(install, problem);
  return ERROR_SUCCESS;
}

extern "C" __declspec(dllexport) UINT __stdcall StampSerial(MSIHANDLE install) {
  const std::wstring data = GetProperty(install, L"CustomActionData");
  std::wstring field[4];  // the file, the placeholder, installed before, the serial
  size_t start = 0;
  for (int i = 0; i < 3; ++i) {
    const size_t bar = data.find(L'|', start);
    if (bar == std::wstring::npos)
      return Fail(install, L"CustomActionData is not FILE|PLACEHOLDER|INSTALLED|SERIAL.");
    field[i] = data.substr(start, bar - start);
    start = bar + 1;
  }
  field[3] = data.substr(start);
  const std::wstring &file = field[0], &placeholder = field[1], &serial = field[3];
  const bool installedBefore = !field[2].empty();

  std::wstring problem = SerialProblem(serial, placeholder.size());
  if (!problem.empty()) return Fail(install, problem);
  const std::wstring fileName = AnsiSpellablePath(file);
  if (fileName.empty())
    return Fail(install, L"the ANSI code page cannot spell the name of " + file + L", which has "
                         L"no short name it can spell: install into another folder.");

  PrivateFolder folder;
  DWORD programSize = 0;
  const void* program = OstraProgram(&programSize);
  if (!program) return Fail(install, L"this package's copy of ostra.exe is missing.");
  // ostra enters its argument file's folder while it reads the file, by a name in its code page.
  if (!folder.Create() || AnsiSpellablePath(folder.path()).empty())
    return Fail(install, L"no private folder could be made in the temporary folder.");
  const std::wstring ostra = folder.Write(L"ostra.exe", program, programSize);
  const std::wstring arguments = L"\xFEFF/burnfile \"" + fileName + L"\" /burnstring " +
                                 placeholder + L" /burnsn \"" + serial + L"\"";
  if (ostra.empty() ||
      folder.Write(L"serial.rsp", arguments.data(),
                   static_cast<DWORD>(arguments.size() * sizeof(wchar_t))).empty())
    return Fail(install, L"ostra.exe and its argument file could not be written to " +
                             folder.path() + L".");

  int status = 0;
  if (!Run(ostra, L"@serial.rsp", AnsiSpellablePath(folder.path()), &status))
    return Fail(install, L"ostra.exe could not be run (error " + std::to_wstring(GetLastError()) +
                             L").");
  switch (status) {
    case 1:
      return ERROR_SUCCESS;
    case 0:
      // A repair finds the file stamped already when it left the file in place.
      if (installedBefore && IsStampedAlready(file, placeholder)) return ERROR_SUCCESS;
      return Fail(install, file + L" was not stamped: placeholder absent, or the file missing or "
                                  L"held by another program.");
    default:
      return Fail(install, L"ostra.exe was given a bad command line (status " +
                               std::to_wstring(status) + L").");
  }
}
