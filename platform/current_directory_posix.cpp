#include "platform/current_directory.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <vector>

namespace platform {

NativeHandle DirectoryHandleTraits::Invalid() { return -1; }

void DirectoryHandleTraits::Close(NativeHandle handle) { close(static_cast<int>(handle)); }

std::string GetCurrentDirectoryPath() {
  std::vector<char> buffer(256);
  for (;;) {
    if (getcwd(buffer.data(), buffer.size()) != nullptr)
      return std::string(buffer.data());
    if (errno != ERANGE)
      return std::string();
    buffer.resize(buffer.size() * 2);
  }
}

bool SaveCurrentDirectory(SavedDirectory* saved) {
#ifdef O_PATH
  // O_PATH needs no read right on the folder, only that it can be found: fchdir takes it.
  const int flags = O_PATH | O_DIRECTORY | O_CLOEXEC;
#else
  const int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
#endif
  saved->path = PathName();
  saved->handle = ScopedDirectoryHandle(open(".", flags));
  return saved->handle.IsValid();
}

bool RestoreCurrentDirectory(const SavedDirectory& saved) {
  return saved.handle && fchdir(static_cast<int>(saved.handle.Get())) == 0;
}

bool SetCurrentDirectoryPath(const PathName& path) {
  return !HasZeroByte(path.text) && chdir(path.text.c_str()) == 0;
}

}  // namespace platform
