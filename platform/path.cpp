#include "platform/path.h"

namespace platform {

bool HasZeroByte(const std::string& name) { return name.find('\0') != std::string::npos; }

bool GetFullPath(const std::string& path, std::string* fullPath, std::size_t* fileNameStart) {
  PathName full;
  PathName folder;
  if (!GetFullPath(path, &full, &folder))
    return false;
  *fullPath = full.text;
  *fileNameStart = folder.text.size();
  return true;
}

}  // namespace platform
