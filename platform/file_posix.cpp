#include "platform/file.h"

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cstddef>

namespace platform {

namespace {

int Descriptor(const ScopedFileHandle& file) { return static_cast<int>(file.Get()); }

// Takes the record lock `range` on `fd` without waiting: one owned by the open file description,
// as the flock is, where the kernel has them (Linux 3.15 and later); else, where it answers
// EINVAL (RHEL 7's 3.10), the process's own, which keeps other processes out all the same. Such a
// lock goes with any close of any descriptor of the file in this process, so nothing here opens
// the file a second time while it is held. Returns what fcntl returns.
int LockRecords(int fd, struct flock* range) {
#ifdef F_OFD_SETLK
  const int locked = fcntl(fd, F_OFD_SETLK, range);
  if (locked == 0 || errno != EINVAL)
    return locked;
#endif
  return fcntl(fd, F_SETLK, range);
}

// One read(2) or write(2) never moves more than this; larger requests take several.
constexpr uint64_t kMaxTransfer = SSIZE_MAX;

std::size_t TransferSize(uint64_t size) {
  return static_cast<std::size_t>(size < kMaxTransfer ? size : kMaxTransfer);
}

// Runs one read(2) or write(2), again when a signal interrupted it. Returns the bytes moved, 0 on
// an error.
template <typename Transfer>
uint64_t TransferOnce(Transfer transfer) {
  for (;;) {
    const ssize_t moved = transfer();
    if (moved >= 0)
      return static_cast<uint64_t>(moved);
    if (errno != EINTR)
      return 0;
  }
}

}  // namespace

NativeHandle FileHandleTraits::Invalid() { return -1; }

void FileHandleTraits::Close(NativeHandle handle) { close(static_cast<int>(handle)); }

ScopedFileHandle TryOpenFileExclusive(const PathName& path, FileAccess access, bool* held,
                                      uint64_t* length) {
  *held = false;
  const std::string& name = path.text;
  // A name with a NUL inside would silently open a shorter name.
  if (HasZeroByte(name))
    return ScopedFileHandle();
  // O_NONBLOCK so that opening a FIFO never waits for a writer; the file type is checked next.
  int flags = (access == FileAccess::kReadWrite ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
  ScopedFileHandle file(open(name.c_str(), flags));
  if (!file) {
    // A lease (Samba's kernel oplocks) makes a non-blocking open fail while its holder is told
    // to let go, which it does at once: a held file like any other.
    *held = errno == EWOULDBLOCK;
    return file;
  }
  int fd = Descriptor(file);
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0)
    return ScopedFileHandle();
  // flock belongs to this open file description, so even a second open in the same process is
  // refused while this one lives: the nearest POSIX match to Windows' share mode 0. A read takes
  // a shared lock: NFS emulates flock with a byte-range lock, and an exclusive one there needs
  // write access, which an argument file need not grant.
  if (flock(fd, (access == FileAccess::kReadWrite ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
    *held = errno == EWOULDBLOCK;
    return ScopedFileHandle();
  }
  // Other programs lock with fcntl or lockf instead, which flock neither sees nor keeps out: a
  // record lock over the whole file, owned by this open file description as the flock is, too.
  struct flock range = {};
  range.l_type = access == FileAccess::kReadWrite ? F_WRLCK : F_RDLCK;
  range.l_whence = SEEK_SET;
  if (LockRecords(fd, &range) != 0) {
    *held = errno == EAGAIN || errno == EACCES;
    return ScopedFileHandle();
  }
  int status = fcntl(fd, F_GETFL);
  if (status == -1 || fcntl(fd, F_SETFL, status & ~O_NONBLOCK) == -1)
    return ScopedFileHandle();
  if (length != nullptr)
    *length = static_cast<uint64_t>(info.st_size);
  return file;
}

uint64_t ReadFromFile(const ScopedFileHandle& file, void* buffer, uint64_t capacity) {
  return TransferOnce([&] { return read(Descriptor(file), buffer, TransferSize(capacity)); });
}

uint64_t WriteToFile(const ScopedFileHandle& file, const void* data, uint64_t size) {
  return TransferOnce([&] { return write(Descriptor(file), data, TransferSize(size)); });
}

bool SetFilePosition(const ScopedFileHandle& file, uint64_t offset) {
  return lseek(Descriptor(file), static_cast<off_t>(offset), SEEK_SET) != static_cast<off_t>(-1);
}

bool GetFileLength(const ScopedFileHandle& file, uint64_t* length) {
  struct stat info;
  if (fstat(Descriptor(file), &info) != 0 || info.st_size < 0)
    return false;
  *length = static_cast<uint64_t>(info.st_size);
  return true;
}

bool FlushFile(const ScopedFileHandle& file) { return fsync(Descriptor(file)) == 0; }

bool WritesCanReach(uint64_t end) {
  struct rlimit limit;
  if (getrlimit(RLIMIT_FSIZE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
    return true;
  return end <= static_cast<uint64_t>(limit.rlim_cur);
}

void SleepMilliseconds(uint32_t milliseconds) {
  struct timespec wait = {static_cast<time_t>(milliseconds / 1000),
                          static_cast<long>(milliseconds % 1000) * 1000000L};
  while (nanosleep(&wait, &wait) != 0 && errno == EINTR) {
  }
}

}  // namespace platform
