#ifndef OSTRA_PLATFORM_PROGRAM_H_
#define OSTRA_PLATFORM_PROGRAM_H_

#include <string>

#include "platform/path_name.h"
#include "platform/result_code.h"

namespace platform {

/// Readies the process for its work, once, at the start of main. On POSIX a write beyond the
/// file-size limit (RLIMIT_FSIZE) then fails like any other write instead of ending the process
/// with SIGXFSZ, and a write to a closed pipe likewise instead of SIGPIPE. On Windows the DLLs
/// that system DLLs load in turn come from the system folder only, not from the program's folder
/// (where the system has SetDefaultDllDirectories).
void PrepareProcess();

/// The path of the running program's file, or the empty string when it cannot be had (on Windows
/// also when it does not fit 260 characters). On Linux the path the file had when it was started,
/// even once an upgrade has replaced it; without /proc, argv[0] as the program was started.
std::string GetProgramPath();

/// Whether the running program is a console program: on Windows the subsystem in the loaded
/// image's own PE header says so, which needs no path and cannot fail; on POSIX every program is
/// one.
bool IsConsoleSubsystem();

/// A loaded module (a HMODULE on Windows); null stands for the running program.
using ModuleHandle = void*;

/// The running program's module (GetModuleHandleA with no name).
ModuleHandle GetProgramModule();

/// Stores the path of the file from which `module` was loaded in *path: on Windows its ANSI
/// spelling, "?" for what the code page lacks, with its exact UTF-16 units, and a failure when it
/// does not fit 260 characters. Returns 0, or the failure as a result code made from the system's
/// error.
ResultCode GetModulePath(ModuleHandle module, PathName* path);

}  // namespace platform

#endif  // OSTRA_PLATFORM_PROGRAM_H_
