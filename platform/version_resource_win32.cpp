#include "platform/version_resource.h"

#include <cstring>

#include "platform/win32.h"

#include <winver.h>

namespace platform {

namespace {

// A failed call that left no error code behind would otherwise read as success.
ResultCode ResultFromLastError() {
  DWORD error = GetLastError();
  return error != 0 ? ResultFromSystemError(error) : static_cast<ResultCode>(E_FAIL);
}

}  // namespace

ModuleHandle GetProgramModule() { return GetModuleHandleA(nullptr); }

ResultCode GetModulePath(ModuleHandle module, std::string* path) {
  char buffer[MAX_PATH];
  DWORD length = GetModuleFileNameA(static_cast<HMODULE>(module), buffer, MAX_PATH);
  if (length == 0)
    return ResultFromLastError();
  // A full buffer means the path was cut: reading another file's version would be wrong.
  if (length >= MAX_PATH)
    return ResultFromSystemError(ERROR_INSUFFICIENT_BUFFER);
  path->assign(buffer, length);
  return S_OK;
}

std::uint32_t GetVersionInfoSize(const std::string& path, std::uint32_t* handle) {
  DWORD zero = 0;
  DWORD size = GetFileVersionInfoSizeA(path.c_str(), &zero);
  *handle = zero;
  return size;
}

ResultCode ReadVersionInfo(const std::string& path, std::uint32_t handle, std::uint32_t size,
                           void* block) {
  if (!GetFileVersionInfoA(path.c_str(), handle, size, block))
    return ResultFromLastError();
  return S_OK;
}

const char* QueryVersionString(const void* block, const char* key, const char* name) {
  static const char kPattern[] = "\\StringFileInfo\\%s\\%s";
  char subBlock[128];
  // wsprintfA knows nothing of the buffer's size: refuse what would not fit (the pattern less its
  // two "%s", the key, the name and the terminator).
  if (block == nullptr || key == nullptr || name == nullptr ||
      sizeof kPattern - 4 + std::strlen(key) + std::strlen(name) > sizeof subBlock)
    return nullptr;
  wsprintfA(subBlock, kPattern, key, name);
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(block, subBlock, &value, &length) || value == nullptr)
    return nullptr;
  return static_cast<const char*>(value);
}

}  // namespace platform
