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
  ScopedFileView(const void* data, uint64_t length) : data_(data), length_(length) {}
  ScopedFileView(ScopedFileView&& other) noexcept : data_(other.data_), length_(other.length_) {
    other.data_ = nullptr;
    other.length_ = 0;
  }
  ScopedFileView& operator=(ScopedFileView&& other) noexcept {
    if (this != &other) {
      Reset();
      data_ = other.data_;
      length_ = other.length_;
      other.data_ = nullptr;
      other.length_ = 0;
    }
    return *this;
  }
  ScopedFileView(const ScopedFileView&) = delete;
  ScopedFileView& operator=(const ScopedFileView&) = delete;
  ~ScopedFileView() { Reset(); }

  bool IsValid() const { return data_ != nullptr; }
  explicit operator bool() const { return IsValid(); }

  /// The first byte of the view; valid while the holder lives.
  const unsigned char* data() const { return static_cast<const unsigned char*>(data_); }
  uint64_t length() const { return length_; }

 private:
  void Reset();

  const void* data_ = nullptr;
  uint64_t length_ = 0;
};

/// Maps all `length` bytes of `mapping` as one contiguous block that the program only reads and
/// that never writes the file. Returns an invalid view on failure.
ScopedFileView MapWholeFile(const ScopedMappingHandle& mapping, uint64_t length);

/// Unmaps a view made by MapWholeFile. ScopedFileView calls it; nothing else needs to.
void UnmapFileView(const void* data, uint64_t length);

inline void ScopedFileView::Reset() {
  if (data_ != nullptr)
    UnmapFileView(data_, length_);
  data_ = nullptr;
  length_ = 0;
}

}  // namespace platform

#endif  // OSTRA_PLATFORM_FILE_MAPPING_H_
