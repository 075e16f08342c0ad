#include "io/console_output.h"

namespace brimwald {

// Terminals take the bytes as they are.
struct ConsoleOutput::Streams {};

ConsoleOutput::ConsoleOutput() = default;
ConsoleOutput::~ConsoleOutput() = default;

}  // namespace brimwald
