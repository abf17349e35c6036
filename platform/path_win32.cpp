#include "platform/path.h"

#include <stdlib.h>

#include "platform/ascii_case.h"
#include "platform/file.h"
#include "platform/wide_name_win32.h"
#include "platform/win32.h"

namespace platform {

PathKind GetPathKind(const std::string& path) {
  std::u16string wide;
  if (!ToWideName(path, &wide))
    return PathKind::kMissing;
  DWORD attributes = GetFileAttributesW(WideChars(wide));
  if (attributes == INVALID_FILE_ATTRIBUTES)
    return PathKind::kMissing;
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::kDirectory : PathKind::kFile;
}

bool GetFullPath(const std::string& path, PathName* fullPath, PathName* folder) {
  std::u16string wide;
  if (!ToWideName(path, &wide) || wide.empty())
    return false;
  // The wide call: the ANSI one would spell a current directory the code page lacks with
  // look-alikes, and so name another folder.
  wchar_t buffer[MAX_PATH];
  wchar_t* filePart = nullptr;
  // A result of MAX_PATH or more is the size the path would need: nothing was written then.
  DWORD length = GetFullPathNameW(WideChars(wide), MAX_PATH, buffer, &filePart);
  if (length == 0 || length >= MAX_PATH)
    return false;
  // No file part when the name ends in a separator: the whole path is the folder.
  const std::size_t fileNameStart =
      filePart != nullptr ? static_cast<std::size_t>(filePart - buffer) : length;
  *fullPath = ToPathName(buffer, length);
  *folder = ToPathName(buffer, fileNameStart);
  return true;
}

bool GetFileIdentity(const PathName& path, FileIdentity* identity) {
  std::u16string wide;
  if (!ToWideName(path, &wide))
    return false;
  // No data access, so no share mode is in the way: a file another process holds still answers.
  ScopedFileHandle file(reinterpret_cast<NativeHandle>(
      CreateFileW(WideChars(wide), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)));
  BY_HANDLE_FILE_INFORMATION info = {};
  if (!file || !GetFileInformationByHandle(reinterpret_cast<HANDLE>(file.Get()), &info))
    return false;
  identity->volume = info.dwVolumeSerialNumber;
  identity->index = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  return true;
}

bool IsSameFullPath(const std::string& a, const std::string& b) {
  return EqualIgnoringAsciiCase(a, b);
}

std::string GetFileStem(const std::string& path) {
  // _splitpath fills a file-name buffer of _MAX_FNAME without a size check; no file name on
  // Windows is that long, so a longer last component is refused rather than overrun the buffer.
  std::size_t nameStart = path.find_last_of("\\/:");
  nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
  if (path.size() - nameStart >= _MAX_FNAME || HasZeroByte(path))
    return std::string();
  char name[_MAX_FNAME] = {};
  _splitpath(path.c_str(), nullptr, nullptr, name, nullptr);
  return name;
}

}  // namespace platform
