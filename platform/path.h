#ifndef OSTRA_PLATFORM_PATH_H_
#define OSTRA_PLATFORM_PATH_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

namespace platform {

/// A file or folder name as messages show it and as the system reaches it. `text` is its narrow
/// spelling. A name that the system hands out (a full path, the current directory) may hold, on
/// Windows, characters the ANSI code page lacks: `text` shows each as "?", and `wide` keeps the
/// exact UTF-16 units that the calls then use. An empty `wide` means `text` is exact, as always on
/// POSIX; a name converts from its narrow text so that a user's name goes wherever a path goes.
struct PathName {
  PathName() = default;
  PathName(const char* text) : text(text) {}
  PathName(std::string text, std::u16string wide = std::u16string())
      : text(std::move(text)), wide(std::move(wide)) {}

  std::string text;
  std::u16string wide;
};

enum class PathKind { kMissing, kFile, kDirectory };

/// What `path` names, a relative path resolving against the current directory. kMissing when the
/// path does not exist or cannot be queried.
PathKind GetPathKind(const std::string& path);

/// Makes `path` absolute against the current directory and normalises it: "." components and
/// repeated separators go; a ".." goes with the component before it, except on POSIX after a
/// symbolic link, where the system's meaning (the parent of the link's target) differs from the
/// spelling's and the ".." stays. No symbolic link is resolved. Stores the result in *fullPath
/// and where its file-name part begins in *fileNameStart, so that fullPath->substr(0,
/// *fileNameStart) is the folder with its trailing separator. Returns false when the path cannot be
/// resolved, and on Windows when the full path does not fit 260 characters.
bool GetFullPath(const std::string& path, std::string* fullPath, std::size_t* fileNameStart);

/// GetFullPath with names that reach the file and its folder exactly: the full path in *fullPath,
/// its folder with the trailing separator in *folder. Returns false where GetFullPath does.
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

/// Whether `name` holds a zero byte: the system reads a name up to its first one, so such a name
/// would silently reach a shorter one. Every call that hands a name to the system refuses it.
bool HasZeroByte(const std::string& name);

/// The file-name part of `path` without its folder and without its extension:
/// "C:\Tools\stamper.exe" gives "stamper", "/usr/bin/ostra" gives "ostra".
std::string GetFileStem(const std::string& path);

}  // namespace platform

#endif  // OSTRA_PLATFORM_PATH_H_
