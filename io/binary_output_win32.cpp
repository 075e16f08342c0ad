#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "io/binary_output.h"

namespace brimwald {

void MakeStandardOutputBinary() {
  std::fflush(stdout);
  _setmode(_fileno(stdout), _O_BINARY);
}

}  // namespace brimwald
