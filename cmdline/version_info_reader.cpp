#include "cmdline/version_info_reader.h"

#include <new>

using platform::kResultFail;
using platform::kResultOk;
using platform::kResultOutOfMemory;
using platform::ResultCode;

VersionInfoReader::VersionInfoReader(const char* tableKey) {
  // Longer keys are cut so that the key always fits its array with its terminator.
  std::size_t length = 0;
  while (tableKey && tableKey[length] != '\0' && length < sizeof key - 1) {
    key[length] = tableKey[length];
    ++length;
  }
  key[length] = '\0';
}

ResultCode VersionInfoReader::Load(platform::ModuleHandle module) {
  platform::PathName path;
  const ResultCode result = platform::GetModulePath(module, &path);
  if (result < 0)
    return result;
  return LoadFile(path);
}

ResultCode VersionInfoReader::LoadFile(const platform::PathName& path) {
  Free();
  std::uint32_t handle = 0;
  const std::uint32_t size = platform::GetVersionInfoSize(path, &handle);
  if (size == 0)
    return kResultFail;
  // Zero-filled, so that a block the system only partly filled never holds stale heap bytes for
  // the string lookup to walk.
  info.reset(new (std::nothrow) unsigned char[size]());
  if (!info)
    return kResultOutOfMemory;
  const ResultCode result = platform::ReadVersionInfo(path, handle, size, info.get());
  if (result < 0)
    return result;
  return kResultOk;
}

const char* VersionInfoReader::QueryString(const char* name) const {
  if (!info || !name)
    return nullptr;
  return platform::QueryVersionString(info.get(), key, name);
}

void VersionInfoReader::Free() {
  info.reset();
}
