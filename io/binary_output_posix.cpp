#include "io/binary_output.h"

namespace brimwald {

// Standard output is bytes already.
void MakeStandardOutputBinary() {}

}  // namespace brimwald
