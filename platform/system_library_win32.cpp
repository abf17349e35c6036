#include "platform/system_library_win32.h"

#include <string>

namespace platform {

NativeHandle LibraryHandleTraits::Invalid() { return 0; }

void LibraryHandleTraits::Close(NativeHandle handle) { FreeLibrary(reinterpret_cast<HMODULE>(handle)); }

ScopedLibrary LoadSystemLibrary(const char* name) {
  char folder[MAX_PATH];
  // A result of MAX_PATH or more is the size the path would need: nothing was written then.
  UINT length = GetSystemDirectoryA(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH)
    return ScopedLibrary();
  const std::string path = std::string(folder, length) + "\\" + name;
  return ScopedLibrary(reinterpret_cast<NativeHandle>(LoadLibraryA(path.c_str())));
}

}  // namespace platform
