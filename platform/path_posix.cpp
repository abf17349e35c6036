#include "platform/path.h"

#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>
#include <vector>

#include "platform/current_directory.h"

namespace platform {

namespace {

// "/a/b" from {"a", "b"}; the empty string for no components.
std::string JoinComponents(const std::vector<std::string>& components) {
  std::string path;
  for (const std::string& component : components)
    path += "/" + component;
  return path;
}

bool IsSymbolicLink(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

}  // namespace

PathKind GetPathKind(const std::string& path) {
  struct stat info;
  // A name with a NUL inside would be answered for a shorter name.
  if (HasZeroByte(path) || stat(path.c_str(), &info) != 0)
    return PathKind::kMissing;
  return S_ISDIR(info.st_mode) ? PathKind::kDirectory : PathKind::kFile;
}

bool GetFullPath(const std::string& path, PathName* fullPath, PathName* folder) {
  if (path.empty() || HasZeroByte(path))
    return false;
  std::string absolute = path;
  if (path[0] != '/') {
    std::string current = GetCurrentDirectoryPath();
    if (current.empty())
      return false;
    absolute = current + "/" + path;
  }

  std::vector<std::string> components;
  std::size_t begin = 0;
  while (begin <= absolute.size()) {
    std::size_t end = absolute.find('/', begin);
    if (end == std::string::npos)
      end = absolute.size();
    std::string component = absolute.substr(begin, end - begin);
    if (component == "..") {
      // "link/.." is the parent of the folder the link points to, not the folder that holds the
      // link: only a component that is no symbolic link may be dropped with its "..".
      if (components.empty())
        ;  // Above the root is the root.
      else if (components.back() != ".." && !IsSymbolicLink(JoinComponents(components)))
        components.pop_back();
      else
        components.push_back(component);
    } else if (!component.empty() && component != ".") {
      components.push_back(component);
    }
    begin = end + 1;
  }

  std::string result = JoinComponents(components);
  // A name that ends in a separator names a folder and keeps the separator, so it has an empty
  // file-name part, as GetFullPathNameA gives on Windows.
  if (result.empty() || absolute.back() == '/')
    result += "/";
  *folder = PathName(result.substr(0, result.rfind('/') + 1));
  *fullPath = PathName(std::move(result));
  return true;
}

bool GetFileIdentity(const PathName& name, FileIdentity* identity) {
  const std::string& path = name.text;
  struct stat info;
  if (HasZeroByte(path) || stat(path.c_str(), &info) != 0)
    return false;
  identity->volume = static_cast<uint64_t>(info.st_dev);
  identity->index = static_cast<uint64_t>(info.st_ino);
  return true;
}

bool IsSameFullPath(const std::string& a, const std::string& b) { return a == b; }

std::string GetFileStem(const std::string& path) {
  std::string name = path.substr(path.rfind('/') + 1);
  // The leading dot of a name like ".profile" starts the name, not an extension.
  std::size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0)
    name.erase(dot);
  return name;
}

}  // namespace platform
