#include "platform/process_arguments.h"

namespace platform {

ProcessArguments::ProcessArguments(int argc, char** argv) : arguments_(argv, argv + argc) {
  PointAtArguments();
}

}  // namespace platform
