#ifndef OSTRA_PLATFORM_FILE_H_
#define OSTRA_PLATFORM_FILE_H_

#include <cstdint>
#include <string>

#include "platform/path_name.h"
#include "platform/scoped_handle.h"

namespace platform {

/// An open file. Invalid value: INVALID_HANDLE_VALUE on Windows, -1 on POSIX.
struct FileHandleTraits {
  static NativeHandle Invalid();
  static void Close(NativeHandle handle);
};

using ScopedFileHandle = ScopedHandle<FileHandleTraits>;

enum class FileAccess { kRead, kReadWrite };

/// Opens an existing regular file for exclusive use: while the holder lives, no other open of the
/// file succeeds on Windows (share mode 0); on POSIX no other lock can be taken (flock LOCK_EX
/// and a record lock over the whole file, so that both flock and fcntl or lockf users are kept
/// out), and for kRead no exclusive one (shared locks, so other readers may read too). POSIX locks
/// are advisory: a process that takes none can still write or cut the file short. Where the
/// kernel has no open-file-description locks the record lock is the process's, and it goes with
/// any close of the file in the process: open no other descriptor of it while the holder lives.
/// Never creates or truncates. A file that someone else holds is tried again for about three
/// seconds (virus scanners and indexers open fresh files for a moment).
/// When `length` is given, the file's length as the open found it is stored there.
/// Returns an invalid holder when the file does not exist, is not a regular file (on Windows also a
/// volume or a disk opened by its device name), is denied, is still held by someone else, or its
/// length was asked for and cannot be read.
ScopedFileHandle OpenFileExclusive(const PathName& path, FileAccess access,
                                   uint64_t* length = nullptr);

/// One try of OpenFileExclusive. On failure *held tells whether someone else holds the file (a
/// sharing or lock violation on Windows, a lock or a lease held elsewhere on POSIX), which may
/// soon end.
ScopedFileHandle TryOpenFileExclusive(const PathName& path, FileAccess access, bool* held,
                                      uint64_t* length = nullptr);

/// Waits `milliseconds` before the program goes on.
void SleepMilliseconds(uint32_t milliseconds);

/// Reads up to `capacity` bytes at the current position into `buffer` and advances the position.
/// Returns the number of bytes delivered: 0 at the end of the file, and 0 when the read fails.
uint64_t ReadFromFile(const ScopedFileHandle& file, void* buffer, uint64_t capacity);

/// Writes up to `size` bytes of `data` at the current position and advances the position. Returns
/// the number of bytes written, 0 when the write fails.
uint64_t WriteToFile(const ScopedFileHandle& file, const void* data, uint64_t size);

/// Moves the current position to byte `offset` (at most INT64_MAX: the systems' offsets are
/// signed) from the start of the file. Returns false when it cannot be moved there.
bool SetFilePosition(const ScopedFileHandle& file, uint64_t offset);

/// Writes all `size` bytes of `data` at byte `offset` from the start of the file (the current
/// position moves); a write that the system cuts short ends there, after the bytes it moved.
/// Returns true only when every byte was written.
bool WriteFileAt(const ScopedFileHandle& file, uint64_t offset, const void* data, uint64_t size);

/// Reads exactly `size` bytes at byte `offset` from the start of the file (the current position
/// moves). Returns false when the read fails or delivers fewer bytes.
bool ReadFileAt(const ScopedFileHandle& file, uint64_t offset, void* buffer, uint64_t size);

/// Stores the file's current length in *length. Returns false when it cannot be read.
bool GetFileLength(const ScopedFileHandle& file, uint64_t* length);

/// Flushes what was written through `file` to the file's storage. Returns false on failure.
bool FlushFile(const ScopedFileHandle& file);

/// Whether the system lets a write reach byte `end` (exclusive) of a file, as far as it says ahead:
/// false on POSIX when the file-size limit (RLIMIT_FSIZE) lies below `end`, so that such a write
/// would land only in part. Always true on Windows, which has no such limit.
bool WritesCanReach(uint64_t end);

/// For tests: while a filter is set, each write that WriteFileAt hands to the system is first
/// given to it, and only as many of its bytes as the filter returns go on (0 fails the write), so
/// that short and failed writes come when a test wants them. nullptr restores plain writes.
using WriteFilter = uint64_t (*)(uint64_t size);
void SetWriteFilterForTesting(WriteFilter filter);

}  // namespace platform

#endif  // OSTRA_PLATFORM_FILE_H_
