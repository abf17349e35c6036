#ifndef OSTRA_STAMP_BURN_FILE_H_
#define OSTRA_STAMP_BURN_FILE_H_

#include <cstdint>

#include "platform/file.h"

/// Overwrites the first occurrence of `marker` in the existing file `fileName`, in place, with the
/// first L bytes (L = the marker's length) of an 80-byte zeroed block that starts with
/// `replacement`: a shorter replacement is padded with zero bytes, a longer one is cut. The file
/// keeps its size and every other byte; it is opened exclusively, read in 32,767-byte windows,
/// written once, and never created.
/// The stamp is whole or absent: a write that the file-size limit would cut is not made (the
/// marker's bytes written over themselves first find out where the system cannot tell ahead), and
/// after a write, flush or read-back that fails the marker's own bytes are written back.
/// A file is never grown: nothing is written unless, just before the first write, the file still
/// has the length the scan saw and the marker at its offset (a process that ignores the lock may
/// have cut it short or changed it), and the marker's bytes put back stop at the file's end.
/// Returns 1 when the bytes were written and read back unchanged, 0 otherwise: the file cannot be
/// opened, the marker is not in it or no longer there, the write fails, or an argument is refused
/// before the file is opened (a null pointer, an empty marker, a marker over 80 bytes, a
/// replacement over 79 bytes).
int BurnFile(const char* fileName, const char* marker, const char* replacement);

/// The points of a stamp where a test may change the file, as a process that ignores the lock
/// could: after the scan found the marker, and after the value was written.
enum class BurnStep { kFound, kWritten };

/// For tests: while a hook is set, BurnFile calls it at each BurnStep with the open file.
/// nullptr removes it.
using BurnStepHook = void (*)(BurnStep step, const platform::ScopedFileHandle& file);
void SetBurnStepHookForTesting(BurnStepHook hook);

#endif  // OSTRA_STAMP_BURN_FILE_H_
