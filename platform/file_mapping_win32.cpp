#include "platform/file_mapping.h"

#include <cstddef>
#include <limits>

#include "platform/win32.h"

namespace platform {

NativeHandle MappingHandleTraits::Invalid() { return 0; }

void MappingHandleTraits::Close(NativeHandle handle) { CloseHandle(reinterpret_cast<HANDLE>(handle)); }

ScopedMappingHandle CreateFileMappingOf(const ScopedFileHandle& file, uint64_t length) {
  // INVALID_HANDLE_VALUE would ask for a mapping backed by the paging file instead of a file, and
  // a length of 0 for one as long as the file, which an empty file cannot give.
  if (!file || length == 0)
    return ScopedMappingHandle();
  HANDLE mapping = CreateFileMappingA(reinterpret_cast<HANDLE>(file.Get()), nullptr, PAGE_WRITECOPY,
                                      static_cast<DWORD>(length >> 32), static_cast<DWORD>(length), nullptr);
  return ScopedMappingHandle(reinterpret_cast<NativeHandle>(mapping));
}

ScopedFileView MapWholeFile(const ScopedMappingHandle& mapping, uint64_t length) {
  if (!mapping || length > std::numeric_limits<std::size_t>::max())
    return ScopedFileView();
  // FILE_MAP_COPY: a private copy-on-write view, so nothing ever reaches the file.
  void* data = MapViewOfFile(reinterpret_cast<HANDLE>(mapping.Get()), FILE_MAP_COPY, 0, 0, 0);
  if (data == nullptr)
    return ScopedFileView();
  return ScopedFileView(data, length);
}

void UnmapFileView(const void* data, uint64_t) { UnmapViewOfFile(data); }

}  // namespace platform
