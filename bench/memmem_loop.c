/* The C library's memmem in the tool's own window loop, the peer the benchmark times the tool
   against: the file is read in requests of 32,767 bytes, the last L bytes of each window carried
   over to the next, and each window searched with memmem.

     memmem_loop FILE MARKER

   Prints the offset of the first occurrence and exits with 1, or exits with 0 when there is none,
   and with 2 on a usage or read error. */
#define _GNU_SOURCE
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

enum { kWindowSize = 32767 };

int main(int argc, char** argv) {
  if (argc != 3 || argv[2][0] == '\0' || strlen(argv[2]) > 80) {
    fprintf(stderr, "usage: memmem_loop FILE MARKER (1 to 80 bytes)\n");
    return 2;
  }
  const char* marker = argv[2];
  const size_t length = strlen(marker);
  const int file = open(argv[1], O_RDONLY);
  if (file < 0) {
    perror(argv[1]);
    return 2;
  }
  static char window[kWindowSize];
  long long windowStart = 0;
  ssize_t delivered = read(file, window, kWindowSize);
  size_t held = delivered > 0 ? (size_t)delivered : 0;
  while (delivered > 0) {
    const char* found = memmem(window, held, marker, length);
    if (found) {
      printf("%lld\n", windowStart + (long long)(found - window));
      return 1;
    }
    if (held < length)
      break;
    windowStart += (long long)(held - length);
    memmove(window, window + held - length, length);
    delivered = read(file, window + length, kWindowSize - length);
    held = length + (delivered > 0 ? (size_t)delivered : 0);
  }
  if (delivered < 0) {
    perror(argv[1]);
    return 2;
  }
  return 0;
}
