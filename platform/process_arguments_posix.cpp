#include "platform/process_arguments.h"

namespace platform {

ProcessArguments::ProcessArguments(int argc, char** argv) : arguments(argv, argv + argc) {
  PointAtArguments();
}

}  // namespace platform
