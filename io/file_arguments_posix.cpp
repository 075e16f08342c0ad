#include "io/file_arguments.h"

namespace brimwald {

// The shell has expanded what it would.
std::vector<std::string> ExpandFileArgument(const std::string& argument) {
  return {argument};
}

}  // namespace brimwald
