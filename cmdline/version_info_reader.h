#ifndef OSTRA_CMDLINE_VERSION_INFO_READER_H_
#define OSTRA_CMDLINE_VERSION_INFO_READER_H_

#include <cstdint>
#include <memory>
#include <string>

#include "platform/version_resource.h"

using HRESULT_T = std::int32_t;

#ifndef HRESULT_FROM_WIN32
/// The result code of a Windows system error code, for builds whose headers lack the macro.
inline HRESULT_T HRESULT_FROM_WIN32(std::uint32_t error) { return platform::ResultFromSystemError(error); }
#endif

using platform::kResultFail;
using platform::kResultOk;
using platform::kResultOutOfMemory;

/// Reads one string table of a file's version resource.
class VersionInfoReader {
 public:
  /// A reader of the string table `key` (at most 15 characters, for example "040904B0").
  explicit VersionInfoReader(const char* key);

  /// Loads the version information of the file `module` was loaded from. Returns 0 or a failure.
  HRESULT_T Load(platform::ModuleHandle module);
  /// Loads the version information of the file at `path`, releasing any held first. Returns 0,
  /// kResultFail when the file has none, kResultOutOfMemory, or the system's failure.
  HRESULT_T LoadFile(const std::string& path);
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
