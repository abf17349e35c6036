#ifndef OSTRA_PLATFORM_CURRENT_DIRECTORY_H_
#define OSTRA_PLATFORM_CURRENT_DIRECTORY_H_

#include <string>

#include "platform/path_name.h"
#include "platform/scoped_handle.h"

namespace platform {

/// An open directory, kept as a way back to it. Invalid value: -1 on POSIX; Windows keeps the path
/// instead, and its holder stays invalid.
struct DirectoryHandleTraits {
  static NativeHandle Invalid();
  static void Close(NativeHandle handle);
};

using ScopedDirectoryHandle = ScopedHandle<DirectoryHandleTraits>;

/// The process's current directory, or the empty string when it cannot be read (on Windows also
/// when it does not fit 260 characters).
std::string GetCurrentDirectoryPath();

/// A way back to a directory that was current: on POSIX an open descriptor of it, which reaches it
/// even where its path cannot be read or entered (a path longer than the system takes, a parent
/// the user may not search); on Windows its exact path, which its ANSI spelling is not always.
struct SavedDirectory {
  PathName path;
  ScopedDirectoryHandle handle;
};

/// Stores a way back to the current directory in *saved. Returns false when there is none (on
/// Windows also when the path does not fit 260 characters).
bool SaveCurrentDirectory(SavedDirectory* saved);

/// Makes the directory in `saved` current again. Returns false on failure.
bool RestoreCurrentDirectory(const SavedDirectory& saved);

/// Enters a folder for the holder's lifetime, then makes the directory that was current before the
/// current one again, on every way out of the scope. Move-only; a moved-from holder restores nothing.
class ScopedCurrentDirectory {
 public:
  /// Saves the current directory, then enters `folder`. When the current directory cannot be saved,
  /// nothing is entered and IsSaved() is false; IsEntered() tells whether the folder was entered.
  explicit ScopedCurrentDirectory(const PathName& folder);
  ScopedCurrentDirectory(ScopedCurrentDirectory&& other) noexcept;
  ScopedCurrentDirectory& operator=(ScopedCurrentDirectory&&) = delete;
  ScopedCurrentDirectory(const ScopedCurrentDirectory&) = delete;
  ScopedCurrentDirectory& operator=(const ScopedCurrentDirectory&) = delete;
  ~ScopedCurrentDirectory();

  /// Whether the previous directory was saved (and so will be restored).
  bool IsSaved() const { return saved; }

  /// Whether `folder` became the current directory.
  bool IsEntered() const { return entered; }

  /// Makes the saved directory current again now; the holder restores nothing afterwards. Returns
  /// false when that failed, so that no relative name is then resolved against the wrong folder;
  /// true also when nothing was saved.
  bool Restore();

 private:
  SavedDirectory previous;
  bool saved = false;
  bool entered = false;
};

/// Makes `path` the current directory. Returns false on failure.
bool SetCurrentDirectoryPath(const PathName& path);

}  // namespace platform

#endif  // OSTRA_PLATFORM_CURRENT_DIRECTORY_H_
