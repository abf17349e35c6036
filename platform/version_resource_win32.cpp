#include "platform/version_resource.h"

#include <string>

#include "platform/system_library_win32.h"
#include "platform/wide_name_win32.h"

#include <winver.h>

namespace platform {

namespace {

// version.dll serves only the version banner: loaded at its first use, kept until the program
// ends. A plain object rather than a function's static: the guard of a static would link in the
// whole thread library for a program that runs on one thread.
ScopedLibrary versionLibrary;

const ScopedLibrary& VersionLibrary() {
  if (!versionLibrary)
    versionLibrary = LoadSystemLibrary("version.dll");
  return versionLibrary;
}

}  // namespace

std::uint32_t GetVersionInfoSize(const PathName& path, std::uint32_t* handle) {
  using SizeFunction = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
  auto getSize = FindLibraryFunction<SizeFunction>(VersionLibrary(), "GetFileVersionInfoSizeW");
  // The ANSI calls would get "?" for what the code page lacks, and find no file.
  std::u16string wide;
  DWORD zero = 0;
  DWORD size = getSize != nullptr && ToWideName(path, &wide) ? getSize(WideChars(wide), &zero) : 0;
  *handle = zero;
  return size;
}

ResultCode ReadVersionInfo(const PathName& path, std::uint32_t handle, std::uint32_t size,
                           void* block) {
  using ReadFunction = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
  auto read = FindLibraryFunction<ReadFunction>(VersionLibrary(), "GetFileVersionInfoW");
  std::u16string wide;
  if (read == nullptr || !ToWideName(path, &wide) || !read(WideChars(wide), handle, size, block))
    return ResultFromLastError();
  return S_OK;
}

const char* QueryVersionString(const void* block, const char* key, const char* name) {
  using QueryFunction = BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT);
  auto query = FindLibraryFunction<QueryFunction>(VersionLibrary(), "VerQueryValueA");
  if (block == nullptr || key == nullptr || name == nullptr || query == nullptr)
    return nullptr;
  const std::string subBlock = std::string("\\StringFileInfo\\") + key + "\\" + name;
  void* value = nullptr;
  UINT length = 0;
  if (!query(block, subBlock.c_str(), &value, &length) || value == nullptr)
    return nullptr;
  return static_cast<const char*>(value);
}

}  // namespace platform
