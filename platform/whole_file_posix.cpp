#include "platform/whole_file.h"

#include <cstddef>
#include <limits>
#include <memory>
#include <new>

#include "platform/file.h"

namespace platform {

// Nothing is ever mapped on this platform: the holder type exists for the view to hold none.
NativeHandle MappingHandleTraits::Invalid() { return -1; }

void MappingHandleTraits::Close(NativeHandle) {}

WholeFileLoad LoadWholeFile(const ScopedFileHandle& file, uint64_t length, ScopedFileView* view) {
  *view = ScopedFileView();
  if (!file || length == 0 || length > std::numeric_limits<std::size_t>::max())
    return WholeFileLoad::kNoView;
  std::unique_ptr<unsigned char[]> bytes(new (std::nothrow) unsigned char[length]);
  // The read delivering fewer bytes than `length` checks that the file is as long as that.
  if (!bytes || !ReadFileAt(file, 0, bytes.get(), length))
    return WholeFileLoad::kNoView;
  *view = ScopedFileView(ScopedMappingHandle(), bytes.release(), length);
  return WholeFileLoad::kLoaded;
}

void ReleaseFileView(const void* data, uint64_t) { delete[] static_cast<const unsigned char*>(data); }

}  // namespace platform
