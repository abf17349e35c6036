#include "platform/out_of_memory.h"

#include <cstdio>
#include <cstdlib>
#include <new>

namespace platform {

namespace {

// Enough for the exception object and for an answer the size of the usage text, with room left.
constexpr std::size_t kReserveSize = 64 * 1024;

// The new-handler is a plain function, so the guard's state is the process's.
const char* exitMessage = nullptr;
void* reserve = nullptr;
std::new_handler previousHandler = nullptr;

[[noreturn]] void WriteMessageAndExit() {
  // stdio copes with a buffer it cannot allocate by writing unbuffered.
  std::fputs(exitMessage, stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
  std::_Exit(-1);
}

void OnAllocationFailure() {
  if (reserve == nullptr)
    WriteMessageAndExit();
  std::free(reserve);
  reserve = nullptr;
  throw std::bad_alloc();
}

}  // namespace

ScopedOutOfMemoryExit::ScopedOutOfMemoryExit(const char* message) {
  exitMessage = message;
  reserve = std::malloc(kReserveSize);
  if (reserve == nullptr)
    WriteMessageAndExit();
  previousHandler = std::set_new_handler(&OnAllocationFailure);
}

ScopedOutOfMemoryExit::~ScopedOutOfMemoryExit() {
  std::set_new_handler(previousHandler);
  std::free(reserve);
  reserve = nullptr;
}

void ScopedOutOfMemoryExit::Exit() const { WriteMessageAndExit(); }

}  // namespace platform
