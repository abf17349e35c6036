#include "platform/file_mapping.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <limits>
#include <memory>
#include <new>

#include "platform/file.h"

namespace platform {

namespace {

// A view longer than its file is refused up front, as Windows refuses a read-only mapping larger
// than its file.
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

// The view is the file's bytes read into memory of its own, not an mmap: a POSIX lock does not keep
// other processes from cutting the file short the way Windows' share mode does, and touching a
// mapped page past the new end would kill the process with SIGBUS. A file that delivers fewer
// bytes than `length` gives no view, so the read itself checks the length.
ScopedFileView MapWholeFile(const ScopedMappingHandle& mapping, uint64_t length) {
  if (!mapping || length == 0 || length > std::numeric_limits<std::size_t>::max())
    return ScopedFileView();
  std::unique_ptr<unsigned char[]> bytes(new (std::nothrow) unsigned char[length]);
  if (!bytes)
    return ScopedFileView();
  // The mapping's descriptor is lent to a file holder for the read and taken back: a second
  // descriptor would share its file position anyway.
  ScopedFileHandle reader(mapping.Get());
  const bool read = ReadFileAt(reader, 0, bytes.get(), length);
  reader.Release();
  if (!read)
    return ScopedFileView();
  return ScopedFileView(bytes.release(), length);
}

void UnmapFileView(const void* data, uint64_t) { delete[] static_cast<const unsigned char*>(data); }

}  // namespace platform
