#ifndef OSTRA_PLATFORM_FILE_MAPPING_H_
#define OSTRA_PLATFORM_FILE_MAPPING_H_

#include <cstdint>

#include "platform/scoped_handle.h"

namespace platform {

/// Creates a private, copy-on-write mapping object for the first `length` bytes of `file`
/// (`length` above 0: an empty file is never mapped). Returns an invalid holder on failure.
ScopedMappingHandle CreateFileMappingOf(const ScopedFileHandle& file, uint64_t length);

/// A read-only view of a whole mapping, unmapped when the holder is destroyed. Move-only.
class ScopedFileView {
 public:
  ScopedFileView() = default;
  ScopedFileView(const void* data, uint64_t length) : bytes(data), byteCount(length) {}
  ScopedFileView(ScopedFileView&& other) noexcept : bytes(other.bytes), byteCount(other.byteCount) {
    other.bytes = nullptr;
    other.byteCount = 0;
  }
  ScopedFileView& operator=(ScopedFileView&& other) noexcept {
    if (this != &other) {
      Reset();
      bytes = other.bytes;
      byteCount = other.byteCount;
      other.bytes = nullptr;
      other.byteCount = 0;
    }
    return *this;
  }
  ScopedFileView(const ScopedFileView&) = delete;
  ScopedFileView& operator=(const ScopedFileView&) = delete;
  ~ScopedFileView() { Reset(); }

  bool IsValid() const { return bytes != nullptr; }
  explicit operator bool() const { return IsValid(); }

  /// The first byte of the view; valid while the holder lives.
  const unsigned char* data() const { return static_cast<const unsigned char*>(bytes); }
  uint64_t length() const { return byteCount; }

 private:
  void Reset();

  const void* bytes = nullptr;
  uint64_t byteCount = 0;
};

/// Maps all `length` bytes of `mapping` as one contiguous block that the program only reads and
/// that never writes the file. Returns an invalid view on failure.
ScopedFileView MapWholeFile(const ScopedMappingHandle& mapping, uint64_t length);

/// Unmaps a view made by MapWholeFile. ScopedFileView calls it; nothing else needs to.
void UnmapFileView(const void* data, uint64_t length);

inline void ScopedFileView::Reset() {
  if (bytes != nullptr)
    UnmapFileView(bytes, byteCount);
  bytes = nullptr;
  byteCount = 0;
}

}  // namespace platform

#endif  // OSTRA_PLATFORM_FILE_MAPPING_H_
