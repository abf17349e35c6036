#ifndef OSTRA_PLATFORM_PATH_H_
#define OSTRA_PLATFORM_PATH_H_

#include <cstdint>
#include <string>

#include "platform/path_name.h"

namespace platform {

enum class PathKind { kMissing, kFile, kDirectory };

/// What `path` names, a relative path resolving against the current directory. kMissing when the
/// path does not exist or cannot be queried.
PathKind GetPathKind(const std::string& path);

/// Makes `path` absolute against the current directory and normalises it: "." components and
/// repeated separators go; a ".." goes with the component before it, except on POSIX after a
/// symbolic link, where the system's meaning (the parent of the link's target) differs from the
/// spelling's and the ".." stays. No symbolic link is resolved. Stores the result in *fullPath,
/// and its folder with the trailing separator in *folder, each with names that reach the file and
/// its folder exactly. Returns false when the path cannot be resolved, and on Windows when the full
/// path does not fit 260 characters.
bool GetFullPath(const std::string& path, PathName* fullPath, PathName* folder);

/// What makes a file itself, whatever name reaches it (a link, a short name, "./" segments): the
/// device and inode on POSIX, the volume serial number and file index on Windows.
struct FileIdentity {
  uint64_t volume = 0;
  uint64_t index = 0;
};

inline bool operator==(const FileIdentity& a, const FileIdentity& b) {
  return a.volume == b.volume && a.index == b.index;
}

/// Stores the identity of the file at `path` in *identity. Returns false when it cannot be had.
bool GetFileIdentity(const PathName& path, FileIdentity* identity);

/// Whether two full paths from GetFullPath name the same file by their spelling: letter case is
/// ignored on Windows, bytes compare exactly on POSIX.
bool IsSameFullPath(const std::string& a, const std::string& b);

/// The file-name part of `path` without its folder and without its extension:
/// "C:\Tools\stamper.exe" gives "stamper", "/usr/bin/ostra" gives "ostra".
std::string GetFileStem(const std::string& path);

}  // namespace platform

#endif  // OSTRA_PLATFORM_PATH_H_
