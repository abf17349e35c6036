#include "platform/whole_file.h"

#include <cstddef>
#include <limits>

#include "platform/win32.h"

namespace platform {

NativeHandle MappingHandleTraits::Invalid() { return 0; }

void MappingHandleTraits::Close(NativeHandle handle) { CloseHandle(reinterpret_cast<HANDLE>(handle)); }

WholeFileLoad LoadWholeFile(const ScopedFileHandle& file, uint64_t length, ScopedFileView* view) {
  *view = ScopedFileView();
  // INVALID_HANDLE_VALUE would ask for a mapping backed by the paging file instead of a file, and
  // a length of 0 for one as long as the file, which an empty file cannot give.
  if (!file || length == 0)
    return WholeFileLoad::kNoMapping;
  ScopedMappingHandle mapping(reinterpret_cast<NativeHandle>(
      CreateFileMappingA(reinterpret_cast<HANDLE>(file.Get()), nullptr, PAGE_WRITECOPY,
                         static_cast<DWORD>(length >> 32), static_cast<DWORD>(length), nullptr)));
  if (!mapping)
    return WholeFileLoad::kNoMapping;
  if (length > std::numeric_limits<std::size_t>::max())
    return WholeFileLoad::kNoView;
  // FILE_MAP_COPY: a private copy-on-write view, so nothing ever reaches the file.
  void* data = MapViewOfFile(reinterpret_cast<HANDLE>(mapping.Get()), FILE_MAP_COPY, 0, 0, 0);
  if (data == nullptr)
    return WholeFileLoad::kNoView;
  *view = ScopedFileView(std::move(mapping), data, length);
  return WholeFileLoad::kLoaded;
}

void ReleaseFileView(const void* data, uint64_t) { UnmapViewOfFile(data); }

}  // namespace platform
