#ifndef OSTRA_CMDLINE_VERSION_INFO_READER_H_
#define OSTRA_CMDLINE_VERSION_INFO_READER_H_

#include <cstdint>
#include <memory>
#include <string>

#include "platform/program.h"
#include "platform/version_resource.h"

/// Reads one string table of a file's version resource.
class VersionInfoReader {
 public:
  /// A reader of the string table `key` (at most 15 characters, for example "040904B0").
  explicit VersionInfoReader(const char* key);

  /// Loads the version information of the file `module` was loaded from. Returns 0 or a failure.
  platform::ResultCode Load(platform::ModuleHandle module);
  /// Loads the version information of the file at `path`, releasing any held first. Returns 0,
  /// platform::kResultFail when the file has none, platform::kResultOutOfMemory, or the system's
  /// failure.
  platform::ResultCode LoadFile(const platform::PathName& path);
  /// The value `name` of the string table, pointing into the held block and valid until Free, or
  /// null when it is not there or nothing is loaded.
  const char* QueryString(const char* name) const;
  /// Releases the held block.
  void Free();

 private:
  char key[16];
  std::unique_ptr<unsigned char[]> info;
};

#endif  // OSTRA_CMDLINE_VERSION_INFO_READER_H_
