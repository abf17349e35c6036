#include "platform/program.h"

#include <errno.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <utility>
#include <vector>

namespace platform {

void PrepareProcess() {
  signal(SIGXFSZ, SIG_IGN);
  // `ostra /bogus | true`: a reader that went away must leave the exit status to the program.
  signal(SIGPIPE, SIG_IGN);
}

bool IsConsoleSubsystem() { return true; }

// Modules are Windows' own: here the program is the one module, and null stands for it.
ModuleHandle GetProgramModule() { return nullptr; }

namespace {

// The link /proc/self/exe as it reads.
ResultCode ReadProgramLink(std::string* path) {
  std::vector<char> buffer(256);
  for (;;) {
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0)
      return ResultFromLastError();
    // readlink truncates silently: only a result shorter than the buffer is known to be whole.
    if (static_cast<std::size_t>(length) < buffer.size()) {
      path->assign(buffer.data(), static_cast<std::size_t>(length));
      return kResultOk;
    }
    buffer.resize(buffer.size() * 2);
  }
}

// Once a package upgrade has replaced the running program, the kernel adds " (deleted)" to the
// link. A file that is really named so is still there, and is the running program.
void DropDeletedMark(std::string* path) {
  static const char kMark[] = " (deleted)";
  const std::size_t markLength = sizeof kMark - 1;
  if (path->size() <= markLength || path->compare(path->size() - markLength, markLength, kMark) != 0)
    return;
  struct stat named, running;
  if (stat(path->c_str(), &named) == 0 && stat("/proc/self/exe", &running) == 0 &&
      named.st_dev == running.st_dev && named.st_ino == running.st_ino)
    return;
  path->resize(path->size() - markLength);
}

}  // namespace

// Every module of the process is the program itself here. Without /proc (a bare chroot or
// container) the name the program was started by, argv[0], is all there is.
ResultCode GetModulePath(ModuleHandle, PathName* path) {
  std::string name;
  const ResultCode result = ReadProgramLink(&name);
  if (result == kResultOk) {
    DropDeletedMark(&name);
  } else {
    if (program_invocation_name == nullptr || *program_invocation_name == '\0')
      return result;
    name = program_invocation_name;
  }
  *path = PathName(std::move(name));
  return kResultOk;
}

}  // namespace platform
