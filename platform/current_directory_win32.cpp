#include "platform/current_directory.h"

#include "platform/win32.h"

namespace platform {

NativeHandle DirectoryHandleTraits::Invalid() { return reinterpret_cast<NativeHandle>(INVALID_HANDLE_VALUE); }

void DirectoryHandleTraits::Close(NativeHandle handle) { CloseHandle(reinterpret_cast<HANDLE>(handle)); }

std::string GetCurrentDirectoryPath() {
  char buffer[MAX_PATH];
  // A result above MAX_PATH - 1 is the size the path would need: nothing was written then.
  DWORD length = GetCurrentDirectoryA(MAX_PATH, buffer);
  if (length == 0 || length > MAX_PATH - 1)
    return std::string();
  return std::string(buffer, length);
}

bool SaveCurrentDirectory(SavedDirectory* saved) {
  // SetCurrentDirectoryA takes no handle: the way back is the path.
  saved->path = GetCurrentDirectoryPath();
  return !saved->path.empty();
}

bool RestoreCurrentDirectory(const SavedDirectory& saved) { return SetCurrentDirectoryPath(saved.path); }

bool SetCurrentDirectoryPath(const std::string& path) {
  return path.find('\0') == std::string::npos && SetCurrentDirectoryA(path.c_str()) != 0;
}

}  // namespace platform
