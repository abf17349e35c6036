#include "platform/current_directory.h"

#include "platform/wide_name_win32.h"
#include "platform/win32.h"

namespace platform {

namespace {

// The current directory in UTF-16 into *current. The ANSI call spells a folder the code page
// cannot with look-alikes ("setupO" for "setupΩ"): going back there would enter another folder.
bool GetCurrentDirectoryName(PathName* current) {
  wchar_t buffer[MAX_PATH];
  // A result above MAX_PATH - 1 is the size the path would need: nothing was written then.
  DWORD length = GetCurrentDirectoryW(MAX_PATH, buffer);
  if (length == 0 || length > MAX_PATH - 1)
    return false;
  *current = ToPathName(buffer, length);
  return true;
}

}  // namespace

NativeHandle DirectoryHandleTraits::Invalid() { return reinterpret_cast<NativeHandle>(INVALID_HANDLE_VALUE); }

void DirectoryHandleTraits::Close(NativeHandle handle) { CloseHandle(reinterpret_cast<HANDLE>(handle)); }

std::string GetCurrentDirectoryPath() {
  PathName current;
  return GetCurrentDirectoryName(&current) ? current.text : std::string();
}

bool SaveCurrentDirectory(SavedDirectory* saved) {
  // SetCurrentDirectoryW takes no handle: the way back is the exact path.
  return GetCurrentDirectoryName(&saved->path);
}

bool RestoreCurrentDirectory(const SavedDirectory& saved) { return SetCurrentDirectoryPath(saved.path); }

bool SetCurrentDirectoryPath(const PathName& path) {
  std::u16string wide;
  return ToWideName(path, &wide) && !wide.empty() && SetCurrentDirectoryW(WideChars(wide)) != 0;
}

}  // namespace platform
