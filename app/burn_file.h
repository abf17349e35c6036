#ifndef OSTRA_APP_BURN_FILE_H_
#define OSTRA_APP_BURN_FILE_H_

#include <cstdint>

/// Overwrites the first occurrence of `marker` in the existing file `fileName`, in place, with the
/// first L bytes (L = the marker's length) of an 80-byte zeroed block that starts with
/// `replacement`: a shorter replacement is padded with zero bytes, a longer one is cut. The file
/// keeps its size and every other byte; it is opened exclusively, read in 32,767-byte windows,
/// written once, and never created.
/// The stamp is whole or absent: a write that the file-size limit would cut is not made (the
/// marker's bytes written over themselves first find out where the system cannot tell ahead), and
/// after a write, flush or read-back that fails the marker's own bytes are written back.
/// Returns 1 when the bytes were written and read back unchanged, 0 otherwise: the file cannot be
/// opened, the marker is not in it, the write fails, or an argument is refused before the file is
/// opened (a null pointer, an empty marker, a marker over 80 bytes, a replacement over 79 bytes).
int BurnFile(const char* fileName, const char* marker, const char* replacement);

#endif  // OSTRA_APP_BURN_FILE_H_
