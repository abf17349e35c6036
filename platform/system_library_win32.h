#ifndef OSTRA_PLATFORM_SYSTEM_LIBRARY_WIN32_H_
#define OSTRA_PLATFORM_SYSTEM_LIBRARY_WIN32_H_

// For the Win32 implementation files only: DLLs that only some runs need (the message box, the
// version banner) are loaded when used, so a plain stamp starts with kernel32 and the C library
// alone.

#include "platform/scoped_handle.h"
#include "platform/win32.h"

namespace platform {

/// A loaded DLL (an HMODULE). Invalid value: null.
struct LibraryHandleTraits {
  static NativeHandle Invalid();
  static void Close(NativeHandle handle);
};

using ScopedLibrary = ScopedHandle<LibraryHandleTraits>;

/// Loads the DLL `name` from the system folder, never from the program's folder or the current one,
/// where a planted copy could wait. Returns an invalid holder on failure.
ScopedLibrary LoadSystemLibrary(const char* name);

/// The function `name` of `library` as a `Function` pointer, or null when the library is not
/// loaded or lacks it.
template <typename Function>
Function FindLibraryFunction(const ScopedLibrary& library, const char* name) {
  if (!library)
    return nullptr;
  FARPROC found = GetProcAddress(reinterpret_cast<HMODULE>(library.Get()), name);
  // Through the generic function type, which converts to any other without a warning.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

}  // namespace platform

#endif  // OSTRA_PLATFORM_SYSTEM_LIBRARY_WIN32_H_
