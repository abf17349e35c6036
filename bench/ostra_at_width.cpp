// The tool with its search's vector width chosen, for the benchmark, which times every width the
// processor has:
//
//   ostra_at_width WIDTH ARGUMENT...   runs as `ostra ARGUMENT...` with WIDTH-byte vectors
//   ostra_at_width                     prints the width the tool takes here, then every usable one
//
// Exits with 2 when this processor or build has no vectors of that width.
#include <cstdio>
#include <cstdlib>

#include "stamp/marker_search.h"
#include "app/ostra_command_line.h"
#include "platform/program.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::printf("%d", static_cast<int>(MarkerSearch::VectorWidth()));
    for (int width : {16, 32, 64}) {
      if (MarkerSearch::UseVectorWidth(width))
        std::printf(" %d", width);
    }
    std::printf("\n");
    return 0;
  }
  const long long width = std::strtoll(argv[1], nullptr, 10);
  if (!MarkerSearch::UseVectorWidth(width)) {
    std::fprintf(stderr, "ostra_at_width: no %lld-byte vectors here\n", width);
    return 2;
  }
  argv[1] = argv[0];
  platform::PrepareProcess();
  return RunOstra(argc - 1, argv + 1);
}
