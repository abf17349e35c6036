#include "platform/program.h"

#include <signal.h>
#include <unistd.h>

#include <vector>

namespace platform {

void PrepareProcess() {
  signal(SIGXFSZ, SIG_IGN);
  // `ostra /bogus | true`: a reader that went away must leave the exit status to the program.
  signal(SIGPIPE, SIG_IGN);
}

std::string GetProgramPath() {
  std::vector<char> buffer(256);
  for (;;) {
    ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0)
      return std::string();
    // readlink truncates silently: only a result shorter than the buffer is known to be whole.
    if (static_cast<std::size_t>(length) < buffer.size())
      return std::string(buffer.data(), static_cast<std::size_t>(length));
    buffer.resize(buffer.size() * 2);
  }
}

bool IsConsoleSubsystem() { return true; }

}  // namespace platform
