#ifndef OSTRA_PLATFORM_SCOPED_HANDLE_H_
#define OSTRA_PLATFORM_SCOPED_HANDLE_H_

#include <cstdint>

namespace platform {

/// An operating-system handle, held as an integer wide enough for a Windows HANDLE and a POSIX
/// descriptor alike. Only the platform's implementation files know what it stands for.
using NativeHandle = std::intptr_t;

/// Move-only owner of one handle. Each kind of handle is declared with its concept, as
/// ScopedFileHandle is in file.h. Traits gives the kind's invalid value and how to close it:
///   static NativeHandle Invalid();  static void Close(NativeHandle);
/// The handle is closed when the holder is destroyed or reset, on every way out of a scope.
template <typename Traits>
class ScopedHandle {
 public:
  ScopedHandle() : native(Traits::Invalid()) {}
  explicit ScopedHandle(NativeHandle handle) : native(handle) {}
  ScopedHandle(ScopedHandle&& other) noexcept : native(other.Release()) {}
  ScopedHandle& operator=(ScopedHandle&& other) noexcept {
    if (this != &other) {
      Reset();
      native = other.Release();
    }
    return *this;
  }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  ~ScopedHandle() { Reset(); }

  /// Whether the holder owns a handle (it differs from the kind's invalid value).
  bool IsValid() const { return native != Traits::Invalid(); }
  explicit operator bool() const { return IsValid(); }

  /// The handle, still owned by the holder.
  NativeHandle Get() const { return native; }

  /// Gives up ownership and returns the handle; the holder is invalid afterwards.
  NativeHandle Release() {
    NativeHandle handle = native;
    native = Traits::Invalid();
    return handle;
  }

  /// Closes the handle now, if one is held.
  void Reset() {
    if (IsValid())
      Traits::Close(native);
    native = Traits::Invalid();
  }

 private:
  NativeHandle native;
};

}  // namespace platform

#endif  // OSTRA_PLATFORM_SCOPED_HANDLE_H_
