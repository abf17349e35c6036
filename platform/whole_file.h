#ifndef OSTRA_PLATFORM_WHOLE_FILE_H_
#define OSTRA_PLATFORM_WHOLE_FILE_H_

#include <cstdint>
#include <utility>

#include "platform/file.h"
#include "platform/scoped_handle.h"

namespace platform {

/// A file-mapping object. Invalid value: null on Windows; POSIX reads files instead of mapping
/// them, and its holder stays invalid (-1).
struct MappingHandleTraits {
  static NativeHandle Invalid();
  static void Close(NativeHandle handle);
};

using ScopedMappingHandle = ScopedHandle<MappingHandleTraits>;

/// All bytes of a file as one contiguous block that the program only reads, released when the
/// holder is destroyed: the view first, then the mapping behind it, if there is one. Move-only.
class ScopedFileView {
 public:
  ScopedFileView() = default;
  ScopedFileView(ScopedMappingHandle mapping, const void* data, uint64_t length)
      : mapping(std::move(mapping)), bytes(data), byteCount(length) {}
  ScopedFileView(ScopedFileView&& other) noexcept
      : mapping(std::move(other.mapping)), bytes(other.bytes), byteCount(other.byteCount) {
    other.bytes = nullptr;
    other.byteCount = 0;
  }
  ScopedFileView& operator=(ScopedFileView&& other) noexcept {
    if (this != &other) {
      Reset();
      mapping = std::move(other.mapping);
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

  ScopedMappingHandle mapping;
  const void* bytes = nullptr;
  uint64_t byteCount = 0;
};

/// Which step of LoadWholeFile failed.
enum class WholeFileLoad {
  kLoaded,     ///< nothing failed
  kNoMapping,  ///< no mapping of the file could be made (Windows only)
  kNoView,     ///< the file's bytes could not be had: no view of the mapping, or the read failed
};

/// Loads the first `length` bytes of `file` into *view, as one block that never writes the file: on
/// Windows a private copy-on-write view of a mapping of the file; on POSIX the bytes read into
/// memory of the view's own, since a POSIX lock does not keep other processes from cutting the
/// file short the way Windows' share mode does, and touching a mapped page past the new end would
/// kill the process with SIGBUS. `length` must be above 0 (an empty file is never mapped); a file
/// shorter than `length` gives no view. Returns kLoaded, or the step that failed with *view empty.
WholeFileLoad LoadWholeFile(const ScopedFileHandle& file, uint64_t length, ScopedFileView* view);

/// Releases the bytes of a view made by LoadWholeFile. ScopedFileView calls it; nothing else needs
/// to.
void ReleaseFileView(const void* data, uint64_t length);

inline void ScopedFileView::Reset() {
  if (bytes != nullptr)
    ReleaseFileView(bytes, byteCount);
  bytes = nullptr;
  byteCount = 0;
  mapping.Reset();
}

}  // namespace platform

#endif  // OSTRA_PLATFORM_WHOLE_FILE_H_
