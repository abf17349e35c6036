/* The floor of the tool's design, the benchmark's reference: the file read front to back in
   requests of 32,767 bytes into one buffer, as the tool reads it, and nothing else done.

     read_loop FILE

   Exits with 0 at the end of the file, with 2 on a usage or read error. */
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

enum { kWindowSize = 32767 };

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: read_loop FILE\n");
    return 2;
  }
  const int file = open(argv[1], O_RDONLY);
  if (file < 0) {
    perror(argv[1]);
    return 2;
  }
  static char window[kWindowSize];
  ssize_t delivered;
  while ((delivered = read(file, window, kWindowSize)) > 0) {
  }
  if (delivered < 0) {
    perror(argv[1]);
    return 2;
  }
  return 0;
}
