#include "platform/file_mapping.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <limits>

namespace platform {

namespace {

// mmap past the end of the file succeeds, but touching those pages raises SIGBUS; refuse such a
// length up front instead, as Windows refuses a read-only mapping larger than its file.
bool CoversOnlyTheFile(int fd, uint64_t length) {
  struct stat info;
  return length > 0 && fstat(fd, &info) == 0 && info.st_size >= 0 &&
         length <= static_cast<uint64_t>(info.st_size);
}

}  // namespace

NativeHandle MappingHandleTraits::Invalid() { return -1; }

void MappingHandleTraits::Close(NativeHandle handle) { close(static_cast<int>(handle)); }

ScopedMappingHandle CreateFileMappingOf(const ScopedFileHandle& file, uint64_t length) {
  if (!file || !CoversOnlyTheFile(static_cast<int>(file.Get()), length))
    return ScopedMappingHandle();
  // The view is made from a descriptor of the mapping's own, so the file holder may close first,
  // as a Windows mapping object outlives its file handle.
  return ScopedMappingHandle(fcntl(static_cast<int>(file.Get()), F_DUPFD_CLOEXEC, 0));
}

ScopedFileView MapWholeFile(const ScopedMappingHandle& mapping, uint64_t length) {
  if (!mapping || length > std::numeric_limits<std::size_t>::max())
    return ScopedFileView();
  int fd = static_cast<int>(mapping.Get());
  if (!CoversOnlyTheFile(fd, length))
    return ScopedFileView();
  void* data = mmap(nullptr, static_cast<std::size_t>(length), PROT_READ, MAP_PRIVATE, fd, 0);
  if (data == MAP_FAILED)
    return ScopedFileView();
  return ScopedFileView(data, length);
}

void UnmapFileView(const void* data, uint64_t length) {
  munmap(const_cast<void*>(data), static_cast<std::size_t>(length));
}

}  // namespace platform
