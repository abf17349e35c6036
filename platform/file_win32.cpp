#include "platform/file.h"

#include <cstdint>
#include <string>

#include "platform/wide_name_win32.h"
#include "platform/win32.h"

namespace platform {

namespace {

HANDLE ToHandle(const ScopedFileHandle& file) { return reinterpret_cast<HANDLE>(file.Get()); }

// ReadFile and WriteFile take 32-bit counts; larger requests take several.
constexpr uint64_t kMaxTransfer = 0x7FFFFFFF;

DWORD TransferSize(uint64_t size) { return static_cast<DWORD>(size < kMaxTransfer ? size : kMaxTransfer); }

// Whether `name` reaches a device rather than a file: a volume or a disk (\\.\Q:, \\?\Q:,
// \\.\PhysicalDrive0, \\?\Volume{...}) opens as a disk file too, and a write would go to the raw
// sectors. A file in the device namespace has a drive root or a share before its own name
// (\\?\C:\dir\x.dat, \\?\UNC\server\share\x.dat) and stays reachable.
bool NamesDevice(const std::u16string& name) {
  // Letter case is ignored; `prefix` is written in lower case.
  auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; };
  auto startsWith = [&lower](const char16_t* text, const char16_t* prefix) {
    for (; *prefix != u'\0'; ++text, ++prefix) {
      if (lower(*text) != *prefix)
        return false;
    }
    return true;
  };
  // The NT object namespace passes unchanged through every full-path rule.
  if (startsWith(name.c_str(), u"\\??\\"))
    return true;
  const DWORD size = GetFullPathNameW(WideChars(name), 0, nullptr, nullptr);
  std::u16string full(size, u'\0');
  wchar_t* buffer = reinterpret_cast<wchar_t*>(&full[0]);
  const DWORD length = size != 0 ? GetFullPathNameW(WideChars(name), size, buffer, nullptr) : 0;
  if (length == 0 || length >= size)
    return true;
  if (!startsWith(full.c_str(), u"\\\\.\\") && !startsWith(full.c_str(), u"\\\\?\\"))
    return false;
  const char16_t* rest = full.c_str() + 4;
  const bool driveRoot = lower(rest[0]) >= u'a' && lower(rest[0]) <= u'z' &&
                         startsWith(rest + 1, u":\\") && rest[3] != u'\0';
  return !driveRoot && !(startsWith(rest, u"unc\\") && rest[4] != u'\0');
}

}  // namespace

NativeHandle FileHandleTraits::Invalid() { return reinterpret_cast<NativeHandle>(INVALID_HANDLE_VALUE); }

void FileHandleTraits::Close(NativeHandle handle) { CloseHandle(reinterpret_cast<HANDLE>(handle)); }

ScopedFileHandle TryOpenFileExclusive(const PathName& path, FileAccess access, bool* held,
                                      uint64_t* length) {
  *held = false;
  std::u16string wide;
  if (!ToWideName(path, &wide) || wide.empty() || NamesDevice(wide))
    return ScopedFileHandle();
  DWORD desired = access == FileAccess::kReadWrite ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ;
  ScopedFileHandle file(reinterpret_cast<NativeHandle>(
      CreateFileW(WideChars(wide), desired, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)));
  if (!file) {
    const DWORD error = GetLastError();
    *held = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
    return file;
  }
  // Device names such as CON or a pipe open too; reading the console would wait for a user who
  // is not there.
  if (GetFileType(ToHandle(file)) != FILE_TYPE_DISK)
    return ScopedFileHandle();
  if (length != nullptr && !GetFileLength(file, length))
    return ScopedFileHandle();
  return file;
}

bool GetFileLength(const ScopedFileHandle& file, uint64_t* length) {
  BY_HANDLE_FILE_INFORMATION info = {};
  if (!GetFileInformationByHandle(ToHandle(file), &info))
    return false;
  *length = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  return true;
}

uint64_t ReadFromFile(const ScopedFileHandle& file, void* buffer, uint64_t capacity) {
  DWORD delivered = 0;
  if (!ReadFile(ToHandle(file), buffer, TransferSize(capacity), &delivered, nullptr))
    return 0;
  return delivered;
}

uint64_t WriteToFile(const ScopedFileHandle& file, const void* data, uint64_t size) {
  DWORD written = 0;
  if (!WriteFile(ToHandle(file), data, TransferSize(size), &written, nullptr))
    return 0;
  return written;
}

bool SetFilePosition(const ScopedFileHandle& file, uint64_t offset) {
  LARGE_INTEGER distance;
  distance.QuadPart = static_cast<LONGLONG>(offset);
  return SetFilePointerEx(ToHandle(file), distance, nullptr, FILE_BEGIN) != 0;
}

bool FlushFile(const ScopedFileHandle& file) { return FlushFileBuffers(ToHandle(file)) != 0; }

bool WritesCanReach(uint64_t) { return true; }

void SleepMilliseconds(uint32_t milliseconds) { Sleep(milliseconds); }

}  // namespace platform
