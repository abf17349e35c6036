#ifndef OSTRA_PLATFORM_OUT_OF_MEMORY_H_
#define OSTRA_PLATFORM_OUT_OF_MEMORY_H_

namespace platform {

/// While alive, memory that runs out ends the process with a message and the status -1, never with
/// an abort. A reserve set aside when the guard is made is given back at the first allocation that
/// fails, which then fails with std::bad_alloc as usual: the exception can still be thrown, and its
/// catcher can still build its answer. An allocation that fails after that, or a reserve that
/// cannot be had at all, calls Exit. One guard at a time; the previous new-handler comes back at its
/// end.
class ScopedOutOfMemoryExit {
 public:
  /// `message` must outlive the guard.
  explicit ScopedOutOfMemoryExit(const char* message);
  ~ScopedOutOfMemoryExit();
  ScopedOutOfMemoryExit(const ScopedOutOfMemoryExit&) = delete;
  ScopedOutOfMemoryExit& operator=(const ScopedOutOfMemoryExit&) = delete;

  /// Writes the message and a line end to standard output, allocating nothing, and ends the
  /// process with the status -1.
  [[noreturn]] void Exit() const;
};

}  // namespace platform

#endif  // OSTRA_PLATFORM_OUT_OF_MEMORY_H_
