#ifndef OSTRA_TEST_SUPPORT_SCOPED_TEMP_DIR_H_
#define OSTRA_TEST_SUPPORT_SCOPED_TEMP_DIR_H_

#include <cstdint>
#include <filesystem>
#include <string>

/// A fresh, empty folder under the system's temporary folder, removed with everything in it when
/// the object is destroyed. Tests make their files in it.
class ScopedTempDir {
 public:
  ScopedTempDir();
  ~ScopedTempDir();
  ScopedTempDir(const ScopedTempDir&) = delete;
  ScopedTempDir& operator=(const ScopedTempDir&) = delete;

  /// The folder's absolute path.
  const std::filesystem::path& path() const { return root; }

  /// The path of `name` inside the folder, as a narrow string the code under test takes.
  std::string PathOf(const std::string& name) const;

  /// Writes `bytes` to `name` inside the folder (folders on the way are made), replacing it.
  /// Returns its path as PathOf does.
  std::string WriteFile(const std::string& name, const std::string& bytes) const;

  /// All bytes of `name` inside the folder; the empty string when it cannot be read.
  std::string ReadFile(const std::string& name) const;

 private:
  std::filesystem::path root;
};

/// Writes `bytes` to `path`, replacing the file. Returns false on failure.
bool WriteBytes(const std::string& path, const std::string& bytes);

/// All bytes of the file at `path`; the empty string when it cannot be read.
std::string ReadBytes(const std::string& path);

/// Whether a file or folder exists at `path`.
bool PathExists(const std::string& path);

#endif  // OSTRA_TEST_SUPPORT_SCOPED_TEMP_DIR_H_
