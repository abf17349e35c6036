#include "platform/file.h"

#include <cstdint>

#include "platform/win32.h"

namespace platform {

namespace {

HANDLE ToHandle(const ScopedFileHandle& file) { return reinterpret_cast<HANDLE>(file.Get()); }

// ReadFile and WriteFile take 32-bit counts; larger requests loop.
constexpr uint64_t kMaxTransfer = 0x7FFFFFFF;

bool SeekTo(HANDLE file, uint64_t offset) {
  if (offset > static_cast<uint64_t>(INT64_MAX))
    return false;
  LARGE_INTEGER distance;
  distance.QuadPart = static_cast<LONGLONG>(offset);
  return SetFilePointerEx(file, distance, nullptr, FILE_BEGIN) != 0;
}

// Runs `transfer` (a ReadFile or a WriteFile) until all `size` bytes moved. Stops with false on
// an error or when nothing moves (the end of the file for a read).
template <typename Byte, typename Transfer>
bool TransferAll(Byte* bytes, uint64_t size, Transfer transfer) {
  while (size > 0) {
    DWORD chunk = static_cast<DWORD>(size < kMaxTransfer ? size : kMaxTransfer);
    DWORD moved = 0;
    if (!transfer(bytes, chunk, &moved) || moved == 0)
      return false;
    bytes += moved;
    size -= moved;
  }
  return true;
}

}  // namespace

NativeHandle FileHandleTraits::Invalid() { return reinterpret_cast<NativeHandle>(INVALID_HANDLE_VALUE); }

void FileHandleTraits::Close(NativeHandle handle) { CloseHandle(reinterpret_cast<HANDLE>(handle)); }

ScopedFileHandle TryOpenFileExclusive(const std::string& path, FileAccess access, bool* held) {
  *held = false;
  // A name with a NUL inside would silently open a shorter name.
  if (path.find('\0') != std::string::npos)
    return ScopedFileHandle();
  DWORD desired = access == FileAccess::kReadWrite ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ;
  ScopedFileHandle file(reinterpret_cast<NativeHandle>(
      CreateFileA(path.c_str(), desired, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)));
  if (!file) {
    const DWORD error = GetLastError();
    *held = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
    return file;
  }
  // Device names such as CON or a pipe open too; reading the console would wait for a user who
  // is not there.
  if (GetFileType(ToHandle(file)) != FILE_TYPE_DISK)
    return ScopedFileHandle();
  return file;
}

bool GetFileLength(const ScopedFileHandle& file, uint64_t* length) {
  BY_HANDLE_FILE_INFORMATION info = {};
  if (!GetFileInformationByHandle(ToHandle(file), &info))
    return false;
  *length = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  return true;
}

uint64_t ReadFromFile(const ScopedFileHandle& file, void* buffer, uint64_t capacity) {
  DWORD request = static_cast<DWORD>(capacity < MAXDWORD ? capacity : MAXDWORD);
  DWORD delivered = 0;
  if (!ReadFile(ToHandle(file), buffer, request, &delivered, nullptr))
    return 0;
  return delivered;
}

bool WriteFileAt(const ScopedFileHandle& file, uint64_t offset, const void* data, uint64_t size) {
  HANDLE handle = ToHandle(file);
  if (!SeekTo(handle, offset))
    return false;
  return TransferAll(static_cast<const unsigned char*>(data), size,
                     [handle](const unsigned char* at, DWORD n, DWORD* moved) {
                       return WriteFile(handle, at, n, moved, nullptr) != 0;
                     });
}

bool ReadFileAt(const ScopedFileHandle& file, uint64_t offset, void* buffer, uint64_t size) {
  HANDLE handle = ToHandle(file);
  if (!SeekTo(handle, offset))
    return false;
  return TransferAll(static_cast<unsigned char*>(buffer), size,
                     [handle](unsigned char* at, DWORD n, DWORD* moved) {
                       return ReadFile(handle, at, n, moved, nullptr) != 0;
                     });
}

bool FlushFile(const ScopedFileHandle& file) { return FlushFileBuffers(ToHandle(file)) != 0; }

void SleepMilliseconds(uint32_t milliseconds) { Sleep(milliseconds); }

}  // namespace platform
