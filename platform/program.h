#ifndef OSTRA_PLATFORM_PROGRAM_H_
#define OSTRA_PLATFORM_PROGRAM_H_

namespace platform {

/// Readies the process for its work, once, at the start of main: on POSIX a write beyond the
/// file-size limit (RLIMIT_FSIZE) then fails like any other write instead of ending the process
/// with SIGXFSZ. Nothing to do on Windows.
void PrepareProcess();

}  // namespace platform

#endif  // OSTRA_PLATFORM_PROGRAM_H_
